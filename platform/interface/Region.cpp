#include <Region.h>

#include <ClipRegion.h>

#include <cmath>
#include <cstdio>

namespace {

BRect ToRect(clipping_rect rect)
{
    return BRect(rect.left, rect.top, rect.right, rect.bottom);
}

const BPrivate::ClipRegion& EmptyRegion()
{
    static const BPrivate::ClipRegion empty;
    return empty;
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
    return fRegion == other.fRegion || Pixels() == other.Pixels();
}

const BPrivate::ClipRegion& BRegion::Pixels() const
{
    return fRegion != nullptr ? *fRegion : EmptyRegion();
}

BPrivate::ClipRegion& BRegion::MutablePixels()
{
    if (fRegion == nullptr)
        fRegion = std::make_shared<BPrivate::ClipRegion>();
    else if (fRegion.use_count() > 1)
        fRegion = std::make_shared<BPrivate::ClipRegion>(*fRegion);
    return *fRegion;
}

void BRegion::Set(BRect rect)
{
    fRegion = std::make_shared<BPrivate::ClipRegion>(rect);
}

void BRegion::Set(clipping_rect rect)
{
    MutablePixels().Set(rect);
}

BRect BRegion::Frame() const
{
    return ToRect(Pixels().Frame());
}

clipping_rect BRegion::FrameInt() const
{
    return Pixels().Frame();
}

BRect BRegion::RectAt(int32 index) const
{
    return ToRect(RectAtInt(index));
}

clipping_rect BRegion::RectAtInt(int32 index) const
{
    if (index < 0 || index >= Pixels().CountRects())
        return clipping_rect { 0, 0, -1, -1 };
    return Pixels().Rects()[size_t(index)];
}

int32 BRegion::CountRects() const
{
    return Pixels().CountRects();
}

bool BRegion::Intersects(BRect rect) const
{
    return Pixels().Intersects(BPrivate::ClipRegion::ToClippingRect(rect));
}

bool BRegion::Intersects(clipping_rect rect) const
{
    return Pixels().Intersects(rect);
}

bool BRegion::Contains(BPoint point) const
{
    return Pixels().Contains(int32(std::floor(point.x)), int32(std::floor(point.y)));
}

bool BRegion::Contains(int32 x, int32 y) const
{
    return Pixels().Contains(x, y);
}

void BRegion::PrintToStream() const
{
    clipping_rect frame = Pixels().Frame();
    std::printf("BRegion: %d rects, frame (l:%d t:%d r:%d b:%d)\n", int(CountRects()),
        int(frame.left), int(frame.top), int(frame.right), int(frame.bottom));
    for (const clipping_rect& rect : Pixels().Rects()) {
        std::printf("  (l:%d t:%d r:%d b:%d)\n", int(rect.left), int(rect.top), int(rect.right),
            int(rect.bottom));
    }
}

void BRegion::OffsetBy(int32 x, int32 y)
{
    MutablePixels().OffsetBy(x, y);
}

void BRegion::OffsetBy(BPoint offset)
{
    MutablePixels().OffsetBy(int32(std::lround(offset.x)), int32(std::lround(offset.y)));
}

void BRegion::MakeEmpty()
{
    fRegion.reset();
}

void BRegion::Include(BRect rect)
{
    if (rect.IsValid())
        MutablePixels().Include(BPrivate::ClipRegion::ToClippingRect(rect));
}

void BRegion::Include(clipping_rect rect)
{
    if (rect.IsValid())
        MutablePixels().Include(rect);
}

void BRegion::Include(const BRegion* region)
{
    if (region != nullptr)
        MutablePixels().Include(region->Pixels());
}

void BRegion::Exclude(BRect rect)
{
    if (rect.IsValid())
        MutablePixels().Exclude(BPrivate::ClipRegion::ToClippingRect(rect));
}

void BRegion::Exclude(clipping_rect rect)
{
    if (rect.IsValid())
        MutablePixels().Exclude(rect);
}

void BRegion::Exclude(const BRegion* region)
{
    if (region != nullptr)
        MutablePixels().Exclude(region->Pixels());
}

void BRegion::IntersectWith(const BRegion* region)
{
    if (region == nullptr)
        return;
    MutablePixels().IntersectWith(region->Pixels());
}
