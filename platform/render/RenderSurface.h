#pragma once

// RenderSurface: a Cairo ARGB32 image surface (native-endian 0xAARRGGBB
// words, premultiplied alpha), the pixels every drawing context draws into.
// A window's backing store is an opaque surface: the drawing layer keeps
// every pixel's alpha at 255 there. An off-screen bitmap's surface may carry
// alpha.
//
// A surface may have a scale: the number of its pixels that one unit of the
// drawing's coordinates (a point) spans. A window's backing store on a
// high-resolution screen has scale 2, say: every drawing context made on it
// draws points as 2 × 2 pixels, with text and curves at the full resolution.

#include <ClipRegion.h>
#include <GraphicsDefs.h>
#include <PixelBuffer.h>

typedef struct _cairo_surface cairo_surface_t;

namespace BPrivate {

class RenderSurface {
public:
    // A surface filled with `fill` (alpha forced to 255 when opaque).
    RenderSurface(int32 width, int32 height, bool hasAlpha = false,
        rgb_color fill = rgb_color { 255, 255, 255, 255 });
    ~RenderSurface();
    RenderSurface(const RenderSurface&) = delete;
    RenderSurface& operator=(const RenderSurface&) = delete;

    status_t InitCheck() const { return fStatus; }
    int32 Width() const { return fWidth; }
    int32 Height() const { return fHeight; }
    bool HasAlpha() const { return fHasAlpha; }
    clipping_rect Bounds() const { return clipping_rect { 0, 0, fWidth - 1, fHeight - 1 }; }

    // Pixels per point (1 unless set; values below 1 are taken as 1). Drawing
    // contexts take it when they are made.
    float Scale() const { return fScale; }
    void SetScale(float scale) { fScale = scale > 1 ? scale : 1; }

    // Direct access to the pixels. Flush() finishes Cairo's pending work
    // before reading; MarkDirty() tells Cairo about direct writes.
    uint32* Bits();
    const uint32* Bits() const;
    int32 BytesPerRow() const;
    void Flush() const;
    void MarkDirty();
    void MarkDirty(clipping_rect area);

    void Fill(rgb_color color);
    // Changes the size, keeping the pixels at the top left and filling new
    // room with `fill`. Drawing contexts made on the surface before must not
    // be used afterwards.
    status_t Resize(int32 width, int32 height, rgb_color fill);

    // Straight-alpha colour of one pixel (transparent black outside).
    rgb_color PixelAt(int32 x, int32 y) const;

    // The pixels as a B_RGB32 (opaque) or B_RGBA32 buffer.
    status_t CopyTo(PixelBuffer* out) const;
    status_t WritePNG(const char* path) const;
    // Loads a bitmap's pixels (same size) and stores them back in its own
    // colour space: off-screen drawing into bitmaps goes this way.
    status_t LoadFrom(const PixelBuffer& bitmap, Transparency mode);
    status_t StoreInto(PixelBuffer* bitmap) const;

    cairo_surface_t* CairoSurface() const { return fSurface; }

private:
    cairo_surface_t* fSurface = nullptr;
    int32 fWidth = 0;
    int32 fHeight = 0;
    bool fHasAlpha = false;
    float fScale = 1;
    status_t fStatus = B_NO_INIT;
};

} // namespace BPrivate
