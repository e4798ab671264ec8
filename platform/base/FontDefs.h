#pragma once

// Font constants and types of the BeOS interface kit, with their platform
// values, shared by the drawing layer and the interface kit. The interface
// kit's Font.h includes this header and adds BFont.

#include <SupportDefs.h>

#define B_FONT_FAMILY_LENGTH 63
#define B_FONT_STYLE_LENGTH 63

typedef char font_family[B_FONT_FAMILY_LENGTH + 1];
typedef char font_style[B_FONT_STYLE_LENGTH + 1];

struct font_height {
    float ascent;
    float descent;
    float leading;
};

struct escapement_delta {
    float nonspace;
    float space;
};

// The properties a view's SetFont applies (set_font_mask).
enum {
    B_FONT_FAMILY_AND_STYLE = 0x00000001,
    B_FONT_SIZE = 0x00000002,
    B_FONT_SHEAR = 0x00000004,
    B_FONT_ROTATION = 0x00000008,
    B_FONT_SPACING = 0x00000010,
    B_FONT_ENCODING = 0x00000020,
    B_FONT_FACE = 0x00000040,
    B_FONT_FLAGS = 0x00000080,
    B_FONT_FALSE_BOLD_WIDTH = 0x00000100,
    B_FONT_ALL = 0x000000FF,
};

enum {
    B_TRUNCATE_END = 0,
    B_TRUNCATE_BEGINNING = 1,
    B_TRUNCATE_MIDDLE = 2,
    B_TRUNCATE_SMART = 3,
};

enum {
    B_CHAR_SPACING = 0,
    B_STRING_SPACING = 1,
    B_BITMAP_SPACING = 2,
    B_FIXED_SPACING = 3,
};

enum {
    B_ITALIC_FACE = 0x0001,
    B_UNDERSCORE_FACE = 0x0002,
    B_NEGATIVE_FACE = 0x0004,
    B_OUTLINED_FACE = 0x0008,
    B_STRIKEOUT_FACE = 0x0010,
    B_BOLD_FACE = 0x0020,
    B_REGULAR_FACE = 0x0040,
};

enum {
    B_UNICODE_UTF8 = 0,
    B_ISO_8859_1 = 1,
    B_ISO_8859_2 = 2,
    B_ISO_8859_3 = 3,
    B_ISO_8859_4 = 4,
    B_ISO_8859_5 = 5,
    B_ISO_8859_6 = 6,
    B_ISO_8859_7 = 7,
    B_ISO_8859_8 = 8,
    B_ISO_8859_9 = 9,
    B_ISO_8859_10 = 10,
    B_MACINTOSH_ROMAN = 11,
};

enum {
    B_DISABLE_ANTIALIASING = 0x00000001,
    B_FORCE_ANTIALIASING = 0x00000002,
};

enum {
    B_IS_FIXED = 0x00000001,
    B_HAS_TUNED_FONT = 0x00010000,
};
