#pragma once

// BRegion: a set of pixels made of rectangles, used for clipping and for the
// areas a window must redraw. Rectangles follow the platform's rule: right and
// bottom name the last pixel included.

#include <ClippingRect.h>
#include <Rect.h>
#include <SupportDefs.h>

#include <memory>

namespace BPrivate {
class ClipRegion;
class RenderAccess;
} // namespace BPrivate

class BRegion {
public:
    BRegion();
    BRegion(const BRegion& other);
    explicit BRegion(BRect rect);
    ~BRegion();

    BRegion& operator=(const BRegion& other);
    bool operator==(const BRegion& other) const;

    void Set(BRect rect);
    void Set(clipping_rect rect);

    // The bounding rectangle; invalid (left > right) when the region is empty.
    BRect Frame() const;
    clipping_rect FrameInt() const;
    BRect RectAt(int32 index) const;
    clipping_rect RectAtInt(int32 index) const;
    int32 CountRects() const;

    bool Intersects(BRect rect) const;
    bool Intersects(clipping_rect rect) const;
    bool Contains(BPoint point) const;
    bool Contains(int32 x, int32 y) const;

    void PrintToStream() const;

    void OffsetBy(int32 x, int32 y);
    void OffsetBy(BPoint offset);
    void MakeEmpty();

    void Include(BRect rect);
    void Include(clipping_rect rect);
    void Include(const BRegion* region);
    void Exclude(BRect rect);
    void Exclude(clipping_rect rect);
    void Exclude(const BRegion* region);
    void IntersectWith(const BRegion* region);

private:
    friend class BPrivate::RenderAccess;

    const BPrivate::ClipRegion& Pixels() const;
    BPrivate::ClipRegion& MutablePixels();

    // The pixels as the drawing layer keeps them, shared between copies until
    // one of them changes (regions are copied often while drawing); none for
    // an empty region.
    std::shared_ptr<BPrivate::ClipRegion> fRegion;
};
