#pragma once

// Pixel layouts of the platform's colour spaces: sizes, the bytes-per-row
// rule, and conversion of rows to and from straight (not premultiplied)
// rgb_color values.

#include <GraphicsDefs.h>

namespace BPrivate {

// Bits per pixel of a colour space with a fixed pixel size; -1 for the
// YCbCr/YUV spaces and unknown values.
int32 BitsPerPixel(color_space space);

// Whether pixels of `space` can be read and written here: the gray,
// colour-mapped, 15/16/24/32-bit spaces in both byte orders. The 30, 48 and
// 64-bit spaces and the video spaces are not.
bool IsSupportedColorSpace(color_space space);

// The size of one row of `width` pixels without padding, and the platform's
// default row size: that rounded up to a multiple of 4 bytes. -1 when the
// space has no fixed pixel size or the width is negative.
int32 RawBytesPerRow(color_space space, int32 width);
int32 DefaultBytesPerRow(color_space space, int32 width);

// Whether the space marks transparent pixels with a magic value instead of
// an alpha channel (B_CMAP8 index 255, the B_RGB32 colour 0x777477).
bool HasTransparentMagic(color_space space);

// Converts `width` pixels of one row. Reading gives straight alpha: 255 for
// spaces without alpha, 0 for the transparent palette index. Writing drops
// what the space cannot hold; colours with alpha below 128 written to a space
// with a transparent magic value become that value.
void ReadRow(color_space space, const uint8* source, int32 width, rgb_color* out);
void WriteRow(color_space space, const rgb_color* colors, int32 width, uint8* destination);

// Premultiplied 8-bit alpha, as Cairo and the screen store it.
inline uint8 Premultiply(uint8 channel, uint8 alpha)
{
    return uint8((uint32(channel) * alpha + 127) / 255);
}

inline uint8 Unpremultiply(uint8 channel, uint8 alpha)
{
    if (alpha == 0)
        return 0;
    uint32 value = (uint32(channel) * 255 + alpha / 2) / alpha;
    return uint8(value > 255 ? 255 : value);
}

// One native-endian 0xAARRGGBB word with premultiplied colour (Cairo's ARGB32
// pixel), and back.
inline uint32 PackPremultiplied(rgb_color color)
{
    return (uint32(color.alpha) << 24) | (uint32(Premultiply(color.red, color.alpha)) << 16)
        | (uint32(Premultiply(color.green, color.alpha)) << 8)
        | Premultiply(color.blue, color.alpha);
}

inline rgb_color UnpackPremultiplied(uint32 pixel)
{
    uint8 alpha = uint8(pixel >> 24);
    return rgb_color { Unpremultiply(uint8(pixel >> 16), alpha),
        Unpremultiply(uint8(pixel >> 8), alpha), Unpremultiply(uint8(pixel), alpha), alpha };
}

// The gray level the platform gives a colour when it is stored in a gray
// space (Rec. 601 luma weights, rounded).
inline uint8 GrayLevel(rgb_color color)
{
    return color.Brightness();
}

} // namespace BPrivate
