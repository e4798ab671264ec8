#include <GraphicsDefs.h>

#include <cstring>

const pattern B_SOLID_HIGH = { { 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff } };
const pattern B_MIXED_COLORS = { { 0xaa, 0x55, 0xaa, 0x55, 0xaa, 0x55, 0xaa, 0x55 } };
const pattern B_SOLID_LOW = { { 0, 0, 0, 0, 0, 0, 0, 0 } };

const rgb_color B_TRANSPARENT_COLOR = { 0x77, 0x74, 0x77, 0x00 };
const rgb_color B_TRANSPARENT_32_BIT = { 0x77, 0x74, 0x77, 0x00 };
const uint8 B_TRANSPARENT_8_BIT = 0xff;

namespace {

int32 BitsPerPixelOf(color_space space)
{
    switch (space) {
    case B_GRAY1:
        return 1;
    case B_GRAY8:
    case B_CMAP8:
        return 8;
    case B_RGB15:
    case B_RGB15_BIG:
    case B_RGBA15:
    case B_RGBA15_BIG:
    case B_RGB16:
    case B_RGB16_BIG:
        return 16;
    case B_RGB24:
    case B_RGB24_BIG:
        return 24;
    case B_RGB32:
    case B_RGB32_BIG:
    case B_RGBA32:
    case B_RGBA32_BIG:
    case B_RGB30:
    case B_RGB30_BIG:
        return 32;
    case B_RGB48:
    case B_RGB48_BIG:
        return 48;
    case B_RGBA64:
    case B_RGBA64_BIG:
        return 64;
    default:
        return -1;
    }
}

} // namespace

bool pattern::operator==(const pattern& other) const
{
    return std::memcmp(data, other.data, sizeof(data)) == 0;
}

status_t get_pixel_size_for(
    color_space space, size_t* pixelChunk, size_t* rowAlignment, size_t* pixelsPerChunk)
{
    int32 bitsPerPixel = BitsPerPixelOf(space);
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
    // Up to 32 bits a pixel, 10-bit colour aside.
    int32 bits = BitsPerPixelOf(space);
    bool supported = bits > 0 && bits <= 32 && space != B_RGB30 && space != B_RGB30_BIG;
    if (supportFlags != nullptr) {
        *supportFlags
            = supported ? B_VIEWS_SUPPORT_DRAW_BITMAP | B_BITMAPS_SUPPORT_ATTACHED_VIEWS : 0;
    }
    return supported;
}
