#include <Region.h>

#include <cmath>
#include <cstdio>

namespace {

BRect ToRect(clipping_rect rect)
{
    return BRect(rect.left, rect.top, rect.right, rect.bottom);
}

} // namespace

BRegion::BRegion() = default;

BRegion::BRegion(const BRegion& other) = default;

BRegion::BRegion(BRect rect)
{
    Set(rect);
}

BRegion::~BRegion() = default;

BRegion& BRegion::operator=(const BRegion& other) = default;

bool BRegion::operator==(const BRegion& other) const
{
    return fRegion == other.fRegion;
}

void BRegion::Set(BRect rect)
{
    fRegion = BPrivate::ClipRegion(rect);
}

void BRegion::Set(clipping_rect rect)
{
    fRegion.Set(rect);
}

BRect BRegion::Frame() const
{
    return ToRect(fRegion.Frame());
}

clipping_rect BRegion::FrameInt() const
{
    return fRegion.Frame();
}

BRect BRegion::RectAt(int32 index) const
{
    return ToRect(RectAtInt(index));
}

clipping_rect BRegion::RectAtInt(int32 index) const
{
    if (index < 0 || index >= fRegion.CountRects())
        return clipping_rect { 0, 0, -1, -1 };
    return fRegion.Rects()[size_t(index)];
}

int32 BRegion::CountRects() const
{
    return fRegion.CountRects();
}

bool BRegion::Intersects(BRect rect) const
{
    return fRegion.Intersects(BPrivate::ClipRegion::ToClippingRect(rect));
}

bool BRegion::Intersects(clipping_rect rect) const
{
    return fRegion.Intersects(rect);
}

bool BRegion::Contains(BPoint point) const
{
    return fRegion.Contains(int32(std::floor(point.x)), int32(std::floor(point.y)));
}

bool BRegion::Contains(int32 x, int32 y) const
{
    return fRegion.Contains(x, y);
}

void BRegion::PrintToStream() const
{
    clipping_rect frame = fRegion.Frame();
    std::printf("BRegion: %d rects, frame (l:%d t:%d r:%d b:%d)\n", int(CountRects()),
        int(frame.left), int(frame.top), int(frame.right), int(frame.bottom));
    for (const clipping_rect& rect : fRegion.Rects()) {
        std::printf("  (l:%d t:%d r:%d b:%d)\n", int(rect.left), int(rect.top), int(rect.right),
            int(rect.bottom));
    }
}

void BRegion::OffsetBy(int32 x, int32 y)
{
    fRegion.OffsetBy(x, y);
}

void BRegion::OffsetBy(BPoint offset)
{
    fRegion.OffsetBy(int32(std::lround(offset.x)), int32(std::lround(offset.y)));
}

void BRegion::MakeEmpty()
{
    fRegion.MakeEmpty();
}

void BRegion::Include(BRect rect)
{
    if (rect.IsValid())
        fRegion.Include(BPrivate::ClipRegion::ToClippingRect(rect));
}

void BRegion::Include(clipping_rect rect)
{
    if (rect.IsValid())
        fRegion.Include(rect);
}

void BRegion::Include(const BRegion* region)
{
    if (region != nullptr)
        fRegion.Include(region->fRegion);
}

void BRegion::Exclude(BRect rect)
{
    if (rect.IsValid())
        fRegion.Exclude(BPrivate::ClipRegion::ToClippingRect(rect));
}

void BRegion::Exclude(clipping_rect rect)
{
    if (rect.IsValid())
        fRegion.Exclude(rect);
}

void BRegion::Exclude(const BRegion* region)
{
    if (region != nullptr)
        fRegion.Exclude(region->fRegion);
}

void BRegion::IntersectWith(const BRegion* region)
{
    if (region == nullptr)
        return;
    fRegion.IntersectWith(region->fRegion);
}
