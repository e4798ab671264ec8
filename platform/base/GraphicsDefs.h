#pragma once

// Colours, colour spaces, patterns and drawing modes of the BeOS interface kit,
// with their BeOS values. This header holds only what concerns colour and
// pixels; it is shared by the drawing layer and by the interface kit.

#include <SupportDefs.h>

struct rgb_color {
    uint8 red;
    uint8 green;
    uint8 blue;
    uint8 alpha;

    rgb_color& set_to(uint8 r, uint8 g, uint8 b, uint8 a = 255)
    {
        red = r;
        green = g;
        blue = b;
        alpha = a;
        return *this;
    }

    // Perceived brightness, 0 to 255 (the Rec. 601 luma weights), used to
    // choose between light and dark contrasting colours.
    uint8 Brightness() const
    {
        return uint8((299 * int32(red) + 587 * int32(green) + 114 * int32(blue) + 500) / 1000);
    }
    bool IsLight() const { return Brightness() >= 128; }
    bool IsDark() const { return Brightness() < 128; }

    bool operator==(const rgb_color& other) const
    {
        return red == other.red && green == other.green && blue == other.blue
            && alpha == other.alpha;
    }
    bool operator!=(const rgb_color& other) const { return !(*this == other); }
};

static_assert(sizeof(rgb_color) == 4, "rgb_color is stored as 4 bytes: red, green, blue, alpha");

inline rgb_color make_color(uint8 red, uint8 green, uint8 blue, uint8 alpha = 255)
{
    return rgb_color { red, green, blue, alpha };
}

// The system palette and the inverse table used by 8-bit colour-mapped
// bitmaps. index_map is indexed by a 15-bit colour (5 bits per channel,
// red in the high bits).
struct color_map {
    int32 id;
    rgb_color color_list[256];
    uint8 inversion_map[256];
    uint8 index_map[32768];
};

// An 8 × 8 monochrome pattern: one byte per row, the most significant bit is
// the leftmost pixel. A set bit draws the high colour, a clear bit the low
// colour.
struct pattern {
    uint8 data[8];

    bool operator==(const pattern& other) const;
    bool operator!=(const pattern& other) const { return !(*this == other); }
};

extern const pattern B_SOLID_HIGH;
extern const pattern B_MIXED_COLORS;
extern const pattern B_SOLID_LOW;

extern const rgb_color B_TRANSPARENT_COLOR;
extern const rgb_color B_TRANSPARENT_32_BIT;
extern const uint8 B_TRANSPARENT_8_BIT;

enum {
    B_TRANSPARENT_MAGIC_CMAP8 = 0xff,
    B_TRANSPARENT_MAGIC_RGBA15 = 0x39ce,
    B_TRANSPARENT_MAGIC_RGBA15_BIG = 0xce39,
    B_TRANSPARENT_MAGIC_RGBA32 = 0x00777477,
    B_TRANSPARENT_MAGIC_RGBA32_BIG = 0x77747700,
};

enum color_space {
    B_NO_COLOR_SPACE = 0x0000,

    B_RGB24 = 0x0003,
    B_RGB32 = 0x0008,
    B_RGBA32 = 0x2008,
    B_RGB16 = 0x0005,
    B_RGB15 = 0x0010,
    B_RGBA15 = 0x2010,
    B_RGB30 = 0x0009,
    B_RGB48 = 0x0011,
    B_RGBA64 = 0x2012,
    B_CMAP8 = 0x0004,
    B_GRAY8 = 0x0002,
    B_GRAY1 = 0x0001,

    B_RGB24_BIG = 0x1003,
    B_RGB32_BIG = 0x1008,
    B_RGBA32_BIG = 0x3008,
    B_RGB16_BIG = 0x1005,
    B_RGB15_BIG = 0x1010,
    B_RGBA15_BIG = 0x3010,
    B_RGB30_BIG = 0x1009,
    B_RGB48_BIG = 0x1011,
    B_RGBA64_BIG = 0x3012,

    B_RGB24_LITTLE = B_RGB24,
    B_RGB32_LITTLE = B_RGB32,
    B_RGBA32_LITTLE = B_RGBA32,
    B_RGB16_LITTLE = B_RGB16,
    B_RGB15_LITTLE = B_RGB15,
    B_RGBA15_LITTLE = B_RGBA15,

    B_YCbCr422 = 0x4000,
    B_YCbCr411 = 0x4001,
    B_YCbCr444 = 0x4003,
    B_YCbCr420 = 0x4004,
    B_YUV422 = 0x4020,
    B_YUV411 = 0x4021,
    B_YUV444 = 0x4023,
    B_YUV420 = 0x4024,
    B_YUV9 = 0x402C,
    B_YUV12 = 0x402D,

    B_COLOR_8_BIT = B_CMAP8,
    B_GRAYSCALE_8_BIT = B_GRAY8,
    B_MONOCHROME_1_BIT = B_GRAY1,
    B_RGB_32_BIT = B_RGB32,
    B_RGB_16_BIT = B_RGB15,
    B_BIG_RGB_32_BIT = B_RGB32_BIG,
    B_BIG_RGB_16_BIT = B_RGB15_BIG,
};

enum drawing_mode {
    B_OP_COPY = 0,
    B_OP_OVER = 1,
    B_OP_ERASE = 2,
    B_OP_INVERT = 3,
    B_OP_ADD = 4,
    B_OP_SUBTRACT = 5,
    B_OP_BLEND = 6,
    B_OP_MIN = 7,
    B_OP_MAX = 8,
    B_OP_SELECT = 9,
    B_OP_ALPHA = 10,
};

enum source_alpha {
    B_PIXEL_ALPHA = 0,
    B_CONSTANT_ALPHA = 1,
};

enum alpha_function {
    B_ALPHA_OVERLAY = 0,
    B_ALPHA_COMPOSITE = 1,
};

// Bitmap drawing options (the platform's bitmap_drawing_options).
enum {
    B_FILTER_BITMAP_BILINEAR = 0x00000100,
    B_WAIT_FOR_RETRACE = 0x00000800,
};

// Whether the colour space has an alpha channel (the 0x2000 bit).
inline bool color_space_has_alpha(color_space space)
{
    return (uint32(space) & 0x2000) != 0;
}

// The size of a pixel of `space`, in the platform's terms: bytes per chunk,
// the row alignment and the pixels per chunk. Returns B_BAD_VALUE for colour
// spaces without a fixed pixel size.
status_t get_pixel_size_for(
    color_space space, size_t* pixelChunk, size_t* rowAlignment, size_t* pixelsPerChunk);

// Whether bitmaps of `space` can be created and drawn here. `supportFlags`
// receives B_VIEWS_SUPPORT_DRAW_BITMAP and B_BITMAPS_SUPPORT_ATTACHED_VIEWS
// when not null.
bool bitmaps_support_space(color_space space, uint32* supportFlags);

enum {
    B_VIEWS_SUPPORT_DRAW_BITMAP = 0x1,
    B_BITMAPS_SUPPORT_ATTACHED_VIEWS = 0x2,
};
