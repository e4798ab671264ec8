#include <ClipRegion.h>

#include <algorithm>
#include <cmath>

namespace BPrivate {

namespace {

clipping_rect Intersection(const clipping_rect& a, const clipping_rect& b)
{
    return clipping_rect { std::max(a.left, b.left), std::max(a.top, b.top),
        std::min(a.right, b.right), std::min(a.bottom, b.bottom) };
}

// Appends the parts of `rect` outside `cut` (at most four rectangles).
void Subtract(const clipping_rect& rect, const clipping_rect& cut, std::vector<clipping_rect>* out)
{
    clipping_rect common = Intersection(rect, cut);
    if (!common.IsValid()) {
        out->push_back(rect);
        return;
    }
    if (rect.top < common.top)
        out->push_back(clipping_rect { rect.left, rect.top, rect.right, common.top - 1 });
    if (common.bottom < rect.bottom)
        out->push_back(clipping_rect { rect.left, common.bottom + 1, rect.right, rect.bottom });
    if (rect.left < common.left)
        out->push_back(clipping_rect { rect.left, common.top, common.left - 1, common.bottom });
    if (common.right < rect.right)
        out->push_back(clipping_rect { common.right + 1, common.top, rect.right, common.bottom });
}

} // namespace

double ClampCoordinate(double coordinate)
{
    if (!(coordinate >= -kCoordinateLimit))
        return -kCoordinateLimit;
    if (coordinate > kCoordinateLimit)
        return kCoordinateLimit;
    return coordinate;
}

int32 NearestPixel(double coordinate)
{
    return int32(std::floor(ClampCoordinate(coordinate) + 0.5));
}

ClipRegion::ClipRegion(clipping_rect rect)
{
    Set(rect);
}

ClipRegion::ClipRegion(BRect rect)
{
    Set(ToClippingRect(rect));
}

clipping_rect ClipRegion::ToClippingRect(BRect rect)
{
    return clipping_rect { NearestPixel(rect.left), NearestPixel(rect.top),
        NearestPixel(rect.right), NearestPixel(rect.bottom) };
}

clipping_rect ClipRegion::Frame() const
{
    if (fRects.empty())
        return clipping_rect { 0, 0, -1, -1 };
    clipping_rect frame = fRects.front();
    for (const clipping_rect& rect : fRects) {
        frame.left = std::min(frame.left, rect.left);
        frame.top = std::min(frame.top, rect.top);
        frame.right = std::max(frame.right, rect.right);
        frame.bottom = std::max(frame.bottom, rect.bottom);
    }
    return frame;
}

int64 ClipRegion::Area() const
{
    int64 area = 0;
    for (const clipping_rect& rect : fRects)
        area += int64(rect.right - rect.left + 1) * int64(rect.bottom - rect.top + 1);
    return area;
}

void ClipRegion::Set(clipping_rect rect)
{
    fRects.clear();
    if (rect.IsValid())
        fRects.push_back(rect);
}

void ClipRegion::Include(clipping_rect rect)
{
    if (!rect.IsValid())
        return;
    // Only the parts not yet covered are added, so rectangles never overlap.
    std::vector<clipping_rect> pieces { rect };
    for (const clipping_rect& existing : fRects) {
        std::vector<clipping_rect> remaining;
        for (const clipping_rect& piece : pieces)
            Subtract(piece, existing, &remaining);
        pieces.swap(remaining);
        if (pieces.empty())
            return;
    }
    fRects.insert(fRects.end(), pieces.begin(), pieces.end());
}

void ClipRegion::Include(const ClipRegion& other)
{
    if (&other == this)
        return;
    for (const clipping_rect& rect : other.fRects)
        Include(rect);
}

void ClipRegion::Exclude(clipping_rect rect)
{
    if (!rect.IsValid())
        return;
    std::vector<clipping_rect> remaining;
    for (const clipping_rect& existing : fRects)
        Subtract(existing, rect, &remaining);
    fRects.swap(remaining);
}

void ClipRegion::Exclude(const ClipRegion& other)
{
    // The other region's rectangles must not be read while they are cut: a
    // region less itself is empty.
    if (&other == this) {
        MakeEmpty();
        return;
    }
    for (const clipping_rect& rect : other.fRects)
        Exclude(rect);
}

void ClipRegion::IntersectWith(clipping_rect rect)
{
    std::vector<clipping_rect> kept;
    for (const clipping_rect& existing : fRects) {
        clipping_rect common = Intersection(existing, rect);
        if (common.IsValid())
            kept.push_back(common);
    }
    fRects.swap(kept);
}

void ClipRegion::IntersectWith(const ClipRegion& other)
{
    // Pieces of two sets of disjoint rectangles are disjoint themselves.
    std::vector<clipping_rect> kept;
    for (const clipping_rect& mine : fRects) {
        for (const clipping_rect& theirs : other.fRects) {
            clipping_rect common = Intersection(mine, theirs);
            if (common.IsValid())
                kept.push_back(common);
        }
    }
    fRects.swap(kept);
}

void ClipRegion::OffsetBy(int32 dx, int32 dy)
{
    for (clipping_rect& rect : fRects) {
        rect.left += dx;
        rect.right += dx;
        rect.top += dy;
        rect.bottom += dy;
    }
}

ClipRegion ClipRegion::ScaledBy(float scale) const
{
    if (scale == 1)
        return *this;
    ClipRegion scaled;
    for (const clipping_rect& rect : fRects) {
        clipping_rect pixels
            = { NearestPixel(double(rect.left) * scale), NearestPixel(double(rect.top) * scale),
                  NearestPixel(double(rect.right + 1) * scale) - 1,
                  NearestPixel(double(rect.bottom + 1) * scale) - 1 };
        if (pixels.IsValid())
            scaled.Include(pixels);
    }
    return scaled;
}

bool ClipRegion::Contains(int32 x, int32 y) const
{
    for (const clipping_rect& rect : fRects) {
        if (x >= rect.left && x <= rect.right && y >= rect.top && y <= rect.bottom)
            return true;
    }
    return false;
}

bool ClipRegion::Intersects(clipping_rect rect) const
{
    for (const clipping_rect& existing : fRects) {
        if (Intersection(existing, rect).IsValid())
            return true;
    }
    return false;
}

bool ClipRegion::operator==(const ClipRegion& other) const
{
    // Two regions are equal when they cover the same pixels, however they are
    // cut into rectangles.
    if (Area() != other.Area())
        return false;
    ClipRegion common = *this;
    common.IntersectWith(other);
    return common.Area() == Area();
}

} // namespace BPrivate
