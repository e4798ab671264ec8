#include <PixelFormat.h>

#include <SystemPalette.h>

namespace BPrivate {

namespace {

// Widens a channel of `bits` bits to 8 bits by repeating its high bits, so
// that the maximum maps to 255.
inline uint8 Widen(uint32 value, int32 bits)
{
    uint32 shifted = value << (8 - bits);
    return uint8(shifted | (shifted >> bits));
}

inline uint16 LoadWord(const uint8* bytes, bool bigEndian)
{
    return bigEndian ? uint16((bytes[0] << 8) | bytes[1]) : uint16(bytes[0] | (bytes[1] << 8));
}

inline void StoreWord(uint8* bytes, uint16 value, bool bigEndian)
{
    if (bigEndian) {
        bytes[0] = uint8(value >> 8);
        bytes[1] = uint8(value);
    } else {
        bytes[0] = uint8(value);
        bytes[1] = uint8(value >> 8);
    }
}

bool IsBigEndian(color_space space)
{
    return (uint32(space) & 0x1000) != 0;
}

// The transparent magic colour of the 32-bit spaces.
constexpr rgb_color kMagic32 = { 0x77, 0x74, 0x77, 0 };

rgb_color Read16(uint16 word, color_space space)
{
    switch (space) {
    case B_RGB16:
    case B_RGB16_BIG:
        return rgb_color { Widen((word >> 11) & 0x1f, 5), Widen((word >> 5) & 0x3f, 6),
            Widen(word & 0x1f, 5), 255 };
    case B_RGBA15:
    case B_RGBA15_BIG:
        return rgb_color { Widen((word >> 10) & 0x1f, 5), Widen((word >> 5) & 0x1f, 5),
            Widen(word & 0x1f, 5), uint8((word & 0x8000) != 0 ? 255 : 0) };
    default:
        return rgb_color { Widen((word >> 10) & 0x1f, 5), Widen((word >> 5) & 0x1f, 5),
            Widen(word & 0x1f, 5), 255 };
    }
}

uint16 Write16(rgb_color color, color_space space)
{
    uint16 red = color.red >> 3;
    uint16 blue = color.blue >> 3;
    switch (space) {
    case B_RGB16:
    case B_RGB16_BIG:
        return uint16((red << 11) | ((color.green >> 2) << 5) | blue);
    case B_RGBA15:
    case B_RGBA15_BIG:
        return uint16(
            (color.alpha >= 128 ? 0x8000 : 0) | (red << 10) | ((color.green >> 3) << 5) | blue);
    default:
        return uint16((red << 10) | ((color.green >> 3) << 5) | blue);
    }
}

void ReadGray1(const uint8* source, int32 width, rgb_color* out)
{
    // A set bit is black, the most significant bit is the leftmost pixel.
    for (int32 x = 0; x < width; x++) {
        bool set = (source[x >> 3] & (0x80 >> (x & 7))) != 0;
        uint8 level = set ? 0 : 255;
        out[x] = rgb_color { level, level, level, 255 };
    }
}

void WriteGray1(const rgb_color* colors, int32 width, uint8* destination)
{
    for (int32 x = 0; x < width; x++) {
        uint8 mask = uint8(0x80 >> (x & 7));
        if (GrayLevel(colors[x]) < 128)
            destination[x >> 3] |= mask;
        else
            destination[x >> 3] &= uint8(~mask);
    }
}

void Read32(color_space space, const uint8* source, int32 width, rgb_color* out)
{
    bool big = IsBigEndian(space);
    bool alpha = color_space_has_alpha(space);
    for (int32 x = 0; x < width; x++, source += 4) {
        if (big)
            out[x] = rgb_color { source[1], source[2], source[3], alpha ? source[0] : uint8(255) };
        else
            out[x] = rgb_color { source[2], source[1], source[0], alpha ? source[3] : uint8(255) };
    }
}

void Write32(color_space space, const rgb_color* colors, int32 width, uint8* destination)
{
    bool big = IsBigEndian(space);
    bool alpha = color_space_has_alpha(space);
    for (int32 x = 0; x < width; x++, destination += 4) {
        rgb_color color = colors[x];
        // The unused byte of the opaque spaces is 255, except in the magic
        // transparent value, whose word is 0x00777477.
        uint8 fourth = 255;
        if (alpha)
            fourth = color.alpha;
        else if (color.alpha < 128) {
            color = kMagic32;
            fourth = 0;
        }
        if (big) {
            destination[0] = fourth;
            destination[1] = color.red;
            destination[2] = color.green;
            destination[3] = color.blue;
        } else {
            destination[0] = color.blue;
            destination[1] = color.green;
            destination[2] = color.red;
            destination[3] = fourth;
        }
    }
}

} // namespace

int32 BitsPerPixel(color_space space)
{
    size_t chunk = 0;
    size_t pixelsPerChunk = 0;
    if (get_pixel_size_for(space, &chunk, nullptr, &pixelsPerChunk) != B_OK)
        return -1;
    return int32(chunk * 8 / pixelsPerChunk);
}

bool IsSupportedColorSpace(color_space space)
{
    return bitmaps_support_space(space, nullptr);
}

int32 RawBytesPerRow(color_space space, int32 width)
{
    int32 bits = BitsPerPixel(space);
    if (bits <= 0 || width < 0)
        return -1;
    if (bits == 1)
        return (width + 7) / 8;
    return width * (bits / 8);
}

int32 DefaultBytesPerRow(color_space space, int32 width)
{
    int32 raw = RawBytesPerRow(space, width);
    if (raw < 0)
        return -1;
    return (raw + 3) & ~3;
}

bool HasTransparentMagic(color_space space)
{
    switch (space) {
    case B_CMAP8:
    case B_RGB32:
    case B_RGB32_BIG:
        return true;
    default:
        return false;
    }
}

void ReadRow(color_space space, const uint8* source, int32 width, rgb_color* out)
{
    switch (space) {
    case B_GRAY1:
        ReadGray1(source, width, out);
        break;
    case B_GRAY8:
        for (int32 x = 0; x < width; x++)
            out[x] = rgb_color { source[x], source[x], source[x], 255 };
        break;
    case B_CMAP8: {
        const rgb_color* palette = SystemPalette();
        for (int32 x = 0; x < width; x++)
            out[x] = palette[source[x]];
        break;
    }
    case B_RGB15:
    case B_RGB15_BIG:
    case B_RGBA15:
    case B_RGBA15_BIG:
    case B_RGB16:
    case B_RGB16_BIG:
        for (int32 x = 0; x < width; x++)
            out[x] = Read16(LoadWord(source + 2 * x, IsBigEndian(space)), space);
        break;
    case B_RGB24:
        for (int32 x = 0; x < width; x++, source += 3)
            out[x] = rgb_color { source[2], source[1], source[0], 255 };
        break;
    case B_RGB24_BIG:
        for (int32 x = 0; x < width; x++, source += 3)
            out[x] = rgb_color { source[0], source[1], source[2], 255 };
        break;
    case B_RGB32:
    case B_RGB32_BIG:
    case B_RGBA32:
    case B_RGBA32_BIG:
        Read32(space, source, width, out);
        break;
    default:
        for (int32 x = 0; x < width; x++)
            out[x] = rgb_color { 0, 0, 0, 0 };
        break;
    }
}

void WriteRow(color_space space, const rgb_color* colors, int32 width, uint8* destination)
{
    switch (space) {
    case B_GRAY1:
        WriteGray1(colors, width, destination);
        break;
    case B_GRAY8:
        for (int32 x = 0; x < width; x++)
            destination[x] = GrayLevel(colors[x]);
        break;
    case B_CMAP8:
        for (int32 x = 0; x < width; x++)
            destination[x] = IndexForColor(colors[x]);
        break;
    case B_RGB15:
    case B_RGB15_BIG:
    case B_RGBA15:
    case B_RGBA15_BIG:
    case B_RGB16:
    case B_RGB16_BIG:
        for (int32 x = 0; x < width; x++)
            StoreWord(destination + 2 * x, Write16(colors[x], space), IsBigEndian(space));
        break;
    case B_RGB24:
        for (int32 x = 0; x < width; x++, destination += 3) {
            destination[0] = colors[x].blue;
            destination[1] = colors[x].green;
            destination[2] = colors[x].red;
        }
        break;
    case B_RGB24_BIG:
        for (int32 x = 0; x < width; x++, destination += 3) {
            destination[0] = colors[x].red;
            destination[1] = colors[x].green;
            destination[2] = colors[x].blue;
        }
        break;
    case B_RGB32:
    case B_RGB32_BIG:
    case B_RGBA32:
    case B_RGBA32_BIG:
        Write32(space, colors, width, destination);
        break;
    default:
        break;
    }
}

} // namespace BPrivate
