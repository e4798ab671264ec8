#pragma once

// ClipRegion: a set of pixels made of integer rectangles, for clipping. It
// is the storage behind the interface kit's BRegion. Rectangles are
// inclusive (right and bottom are the last pixel) and never overlap.

#include <ClippingRect.h>
#include <Rect.h>
#include <SupportDefs.h>

#include <vector>

namespace BPrivate {

// Coordinates far beyond any surface are kept at ±1,000,000 pixels (a NaN
// counts as far off to the top left), so that hostile values neither
// overflow integers nor upset Cairo's fixed-point arithmetic.
constexpr double kCoordinateLimit = 1000000.0;
double ClampCoordinate(double coordinate);
// The nearest pixel (halves upward) of a clamped coordinate.
int32 NearestPixel(double coordinate);

class ClipRegion {
public:
    ClipRegion() = default;
    explicit ClipRegion(clipping_rect rect);
    // The pixels a float rectangle covers: its edges are rounded to the
    // nearest pixel.
    explicit ClipRegion(BRect rect);

    static clipping_rect ToClippingRect(BRect rect);

    bool IsEmpty() const { return fRects.empty(); }
    int32 CountRects() const { return int32(fRects.size()); }
    const std::vector<clipping_rect>& Rects() const { return fRects; }
    // The bounding box; invalid (left > right) when empty.
    clipping_rect Frame() const;
    int64 Area() const;

    void MakeEmpty() { fRects.clear(); }
    void Set(clipping_rect rect);
    void Include(clipping_rect rect);
    void Include(const ClipRegion& other);
    void Exclude(clipping_rect rect);
    void Exclude(const ClipRegion& other);
    void IntersectWith(clipping_rect rect);
    void IntersectWith(const ClipRegion& other);
    void OffsetBy(int32 dx, int32 dy);
    // The pixels this region covers when each of its pixels becomes `scale`
    // pixels wide and high (edges rounded to the nearest pixel, so regions
    // that touch stay touching and never overlap).
    ClipRegion ScaledBy(float scale) const;

    bool Contains(int32 x, int32 y) const;
    bool Intersects(clipping_rect rect) const;
    bool operator==(const ClipRegion& other) const;

private:
    std::vector<clipping_rect> fRects;
};

} // namespace BPrivate
