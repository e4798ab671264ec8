#pragma once

// DisplayEvent: input and window events as the display backends report them,
// in plain values the interface kit turns into its messages. Buttons,
// modifiers, key codes and key bytes already have the platform's values.

#include <Point.h>
#include <Rect.h>
#include <SupportDefs.h>

#include <string>
#include <vector>

namespace BPrivate {

enum class DisplayEventType : uint8 {
    kMouseDown,
    kMouseUp,
    kMouseMoved,
    kMouseWheel,
    kMouseEntered,
    kMouseExited,
    kKeyDown,
    kKeyUp,
    kModifiersChanged,
    kCloseRequested,
    kActivated,
    kDeactivated,
    kFilesDropped,
    kMoved,
    kResized,
    // Events of the whole program, delivered to DisplayBackend::AppEvents().
    kQuitRequested,
    kScreenChanged,
};

const char* DisplayEventTypeName(DisplayEventType type);

// Mouse buttons (a bit mask, as in the platform's "buttons" field).
constexpr uint32 kPrimaryButton = 0x1;
constexpr uint32 kSecondaryButton = 0x2;
constexpr uint32 kTertiaryButton = 0x4;

// Modifier bits. Following the platform's keyboard layout for PC keyboards
// with Ctrl as the shortcut key (the layout Linux users expect), Ctrl is the
// command key, Alt the control key and the logo key the option key.
constexpr uint32 kShiftKey = 0x00000001;
constexpr uint32 kCommandKey = 0x00000002;
constexpr uint32 kControlKey = 0x00000004;
constexpr uint32 kCapsLock = 0x00000008;
constexpr uint32 kScrollLock = 0x00000010;
constexpr uint32 kNumLock = 0x00000020;
constexpr uint32 kOptionKey = 0x00000040;
constexpr uint32 kMenuKey = 0x00000080;
constexpr uint32 kLeftShiftKey = 0x00000100;
constexpr uint32 kRightShiftKey = 0x00000200;
constexpr uint32 kLeftCommandKey = 0x00000400;
constexpr uint32 kRightCommandKey = 0x00000800;
constexpr uint32 kLeftControlKey = 0x00001000;
constexpr uint32 kRightControlKey = 0x00002000;
constexpr uint32 kLeftOptionKey = 0x00004000;
constexpr uint32 kRightOptionKey = 0x00008000;

// The bytes of keys that produce no text.
namespace KeyBytes {
constexpr char kBackspace = 0x08;
constexpr char kReturn = 0x0a;
constexpr char kTab = 0x09;
constexpr char kEnter = 0x0a;
constexpr char kSpace = 0x20;
constexpr char kEscape = 0x1b;
constexpr char kLeftArrow = 0x1c;
constexpr char kRightArrow = 0x1d;
constexpr char kUpArrow = 0x1e;
constexpr char kDownArrow = 0x1f;
constexpr char kInsert = 0x05;
constexpr char kDelete = 0x7f;
constexpr char kHome = 0x01;
constexpr char kEnd = 0x04;
constexpr char kPageUp = 0x0b;
constexpr char kPageDown = 0x0c;
constexpr char kFunctionKey = 0x10;
} // namespace KeyBytes

// Key codes of the platform's keyboard (the "key" field) for the keys the
// kit names: function keys and a few others.
namespace KeyCodes {
constexpr int32 kEscape = 0x01;
constexpr int32 kF1 = 0x02;
constexpr int32 kF12 = 0x0d;
constexpr int32 kPrint = 0x0e;
constexpr int32 kScroll = 0x0f;
constexpr int32 kPause = 0x10;
} // namespace KeyCodes

struct DisplayEvent {
    DisplayEventType type = DisplayEventType::kMouseMoved;
    // The window the event belongs to; -1 for events of the program.
    int32 window = -1;
    bigtime_t when = 0;

    // Mouse and drops: the position in the window's coordinates and on the
    // screen; the buttons held after the event; the click count of a press.
    BPoint where;
    BPoint screenWhere;
    uint32 buttons = 0;
    int32 clicks = 0;
    // Wheel: positive y scrolls down, positive x to the right.
    float wheelX = 0;
    float wheelY = 0;

    uint32 modifiers = 0;
    // Keys: the platform key code, the UTF-8 bytes the key produced (one
    // control byte for keys without text), the unmodified character, and
    // whether the key is repeating.
    int32 key = 0;
    std::string bytes;
    uint32 rawChar = 0;
    bool repeat = false;

    // kFilesDropped: the dropped files' paths.
    std::vector<std::string> paths;
    // kMoved, kResized and kScreenChanged: the new frame (screen coordinates,
    // inclusive).
    BRect frame;
};

} // namespace BPrivate
