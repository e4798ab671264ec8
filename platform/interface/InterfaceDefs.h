#pragma once

// Constants and free functions of the interface kit that many classes share:
// keys and modifiers, borders, orientations, alignments, workspaces. The named
// system colours (ui_color, tint_color) and the colour types come from the
// basic definitions included here (platform/base).

#include <GraphicsDefs.h>
#include <InterfaceColors.h>
#include <Point.h>
#include <Rect.h>
#include <SupportDefs.h>

// The bytes of the keys that do not produce text.
enum {
    B_BACKSPACE = 0x08,
    B_RETURN = 0x0a,
    B_ENTER = 0x0a,
    B_SPACE = 0x20,
    B_TAB = 0x09,
    B_ESCAPE = 0x1b,
    B_SUBSTITUTE = 0x1a,

    B_LEFT_ARROW = 0x1c,
    B_RIGHT_ARROW = 0x1d,
    B_UP_ARROW = 0x1e,
    B_DOWN_ARROW = 0x1f,

    B_INSERT = 0x05,
    B_DELETE = 0x7f,
    B_HOME = 0x01,
    B_END = 0x04,
    B_PAGE_UP = 0x0b,
    B_PAGE_DOWN = 0x0c,

    B_FUNCTION_KEY = 0x10,
};

// The raw key codes ("key") of the function keys.
enum {
    B_F1_KEY = 0x02,
    B_F2_KEY = 0x03,
    B_F3_KEY = 0x04,
    B_F4_KEY = 0x05,
    B_F5_KEY = 0x06,
    B_F6_KEY = 0x07,
    B_F7_KEY = 0x08,
    B_F8_KEY = 0x09,
    B_F9_KEY = 0x0a,
    B_F10_KEY = 0x0b,
    B_F11_KEY = 0x0c,
    B_F12_KEY = 0x0d,
    B_PRINT_KEY = 0x0e,
    B_SCROLL_KEY = 0x0f,
    B_PAUSE_KEY = 0x10,
};

enum {
    B_SHIFT_KEY = 0x00000001,
    B_COMMAND_KEY = 0x00000002,
    B_CONTROL_KEY = 0x00000004,
    B_CAPS_LOCK = 0x00000008,
    B_SCROLL_LOCK = 0x00000010,
    B_NUM_LOCK = 0x00000020,
    B_OPTION_KEY = 0x00000040,
    B_MENU_KEY = 0x00000080,
    B_LEFT_SHIFT_KEY = 0x00000100,
    B_RIGHT_SHIFT_KEY = 0x00000200,
    B_LEFT_COMMAND_KEY = 0x00000400,
    B_RIGHT_COMMAND_KEY = 0x00000800,
    B_LEFT_CONTROL_KEY = 0x00001000,
    B_RIGHT_CONTROL_KEY = 0x00002000,
    B_LEFT_OPTION_KEY = 0x00004000,
    B_RIGHT_OPTION_KEY = 0x00008000,
};

// The UTF-8 form of characters the kit draws.
#define B_UTF8_ELLIPSIS "\xE2\x80\xA6"
#define B_UTF8_OPEN_QUOTE "\xE2\x80\x9C"
#define B_UTF8_CLOSE_QUOTE "\xE2\x80\x9D"
#define B_UTF8_COPYRIGHT "\xC2\xA9"
#define B_UTF8_REGISTERED "\xC2\xAE"
#define B_UTF8_TRADEMARK "\xE2\x84\xA2"
#define B_UTF8_SMILING_FACE "\xE2\x98\xBB"
#define B_UTF8_HIROSHI "\xE5\xBC\x98"

enum border_style {
    B_PLAIN_BORDER = 0,
    B_FANCY_BORDER = 1,
    B_NO_BORDER = 2,
};

enum orientation {
    B_HORIZONTAL = 0,
    B_VERTICAL = 1,
};

enum alignment {
    B_ALIGN_LEFT = 0,
    B_ALIGN_RIGHT = 1,
    B_ALIGN_CENTER = 2,
};

enum vertical_alignment {
    B_ALIGN_TOP = 0x10,
    B_ALIGN_MIDDLE = 0x20,
    B_ALIGN_BOTTOM = 0x30,
};

enum join_mode {
    B_ROUND_JOIN = 0,
    B_MITER_JOIN = 1,
    B_BEVEL_JOIN = 2,
    B_BUTT_JOIN = 3,
    B_SQUARE_JOIN = 4,
};

enum cap_mode {
    B_ROUND_CAP = B_ROUND_JOIN,
    B_BUTT_CAP = B_BUTT_JOIN,
    B_SQUARE_CAP = B_SQUARE_JOIN,
};

// The screens. There is one: the main screen.
struct screen_id {
    int32 id;
    bool operator==(const screen_id& other) const { return id == other.id; }
};
extern const screen_id B_MAIN_SCREEN_ID;

// How the buttons of an alert are sized.
enum button_width {
    B_WIDTH_AS_USUAL,
    B_WIDTH_FROM_WIDEST,
    B_WIDTH_FROM_LABEL,
};

// Workspaces. There is one workspace on this platform: the desktop.
#define B_CURRENT_WORKSPACE 0
#define B_ALL_WORKSPACES 0xffffffff

int32 count_workspaces();
int32 current_workspace();
void activate_workspace(int32 workspace);

// The modifier keys held now, as the last input event reported them.
uint32 modifiers();

// The system palette of 8-bit colour-mapped bitmaps (B_CMAP8).
const color_map* system_colors();

// The time between the clicks of a double click, in microseconds.
status_t get_click_speed(bigtime_t* speed);
