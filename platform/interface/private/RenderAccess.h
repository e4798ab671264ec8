#pragma once

// RenderAccess: how the kit's own drawing code reaches the drawing layer's
// objects behind its public classes: the pixels of a bitmap and a region,
// the drawing form of a font and the recording of a picture. Code above the
// kit sees none of them.

#include <Bitmap.h>
#include <Font.h>
#include <Picture.h>
#include <Region.h>

#include <ClipRegion.h>
#include <PixelBuffer.h>
#include <RenderFont.h>
#include <RenderPicture.h>

namespace BPrivate {

class RenderAccess {
public:
    static const RenderFont& Font(const BFont& font) { return font.Render(); }
    static void SetFont(BFont* font, const RenderFont& render) { font->SetRender(render); }

    static const ClipRegion& Region(const BRegion& region) { return region.Pixels(); }
    static void SetRegion(BRegion* region, const ClipRegion& pixels)
    {
        region->MutablePixels() = pixels;
    }

    // With every drawing of the bitmap's views in them.
    static const PixelBuffer& Pixels(const BBitmap& bitmap) { return bitmap.Pixels(); }

    static const RenderPicture& Recording(const BPicture& picture) { return *picture.fRecording; }
    static RenderPicture* MutableRecording(BPicture* picture) { return picture->fRecording.get(); }
};

} // namespace BPrivate
