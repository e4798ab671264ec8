#include <GraphicsDefs.h>

#include <PixelFormat.h>

#include <cstring>

const pattern B_SOLID_HIGH = { { 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff } };
const pattern B_MIXED_COLORS = { { 0xaa, 0x55, 0xaa, 0x55, 0xaa, 0x55, 0xaa, 0x55 } };
const pattern B_SOLID_LOW = { { 0, 0, 0, 0, 0, 0, 0, 0 } };

const rgb_color B_TRANSPARENT_COLOR = { 0x77, 0x74, 0x77, 0x00 };
const rgb_color B_TRANSPARENT_32_BIT = { 0x77, 0x74, 0x77, 0x00 };
const uint8 B_TRANSPARENT_8_BIT = 0xff;

bool pattern::operator==(const pattern& other) const
{
    return std::memcmp(data, other.data, sizeof(data)) == 0;
}

status_t get_pixel_size_for(
    color_space space, size_t* pixelChunk, size_t* rowAlignment, size_t* pixelsPerChunk)
{
    int32 bitsPerPixel = BPrivate::BitsPerPixel(space);
    if (bitsPerPixel <= 0)
        return B_BAD_VALUE;
    if (pixelChunk != nullptr)
        *pixelChunk = bitsPerPixel < 8 ? 1 : size_t(bitsPerPixel / 8);
    if (rowAlignment != nullptr)
        *rowAlignment = 4;
    if (pixelsPerChunk != nullptr)
        *pixelsPerChunk = bitsPerPixel < 8 ? size_t(8 / bitsPerPixel) : 1;
    return B_OK;
}

bool bitmaps_support_space(color_space space, uint32* supportFlags)
{
    bool supported = BPrivate::IsSupportedColorSpace(space);
    if (supportFlags != nullptr) {
        *supportFlags
            = supported ? B_VIEWS_SUPPORT_DRAW_BITMAP | B_BITMAPS_SUPPORT_ATTACHED_VIEWS : 0;
    }
    return supported;
}
