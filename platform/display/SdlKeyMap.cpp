#include <SdlKeyMap.h>

#include <DisplayEvent.h>

namespace BPrivate {

namespace {

struct ScancodeEntry {
    SDL_Scancode scancode;
    int32 key;
};

// The platform's key codes follow the rows of a PC keyboard: Escape and the
// function keys from 0x01, the digit row from 0x11, the top letter row from
// 0x26, the home row from 0x3b, the bottom row from 0x4b and the space bar
// row from 0x5c, each row continuing into the editing keys and the keypad.
const ScancodeEntry kScancodes[] = {
    { SDL_SCANCODE_ESCAPE, 0x01 },
    { SDL_SCANCODE_F1, 0x02 },
    { SDL_SCANCODE_F2, 0x03 },
    { SDL_SCANCODE_F3, 0x04 },
    { SDL_SCANCODE_F4, 0x05 },
    { SDL_SCANCODE_F5, 0x06 },
    { SDL_SCANCODE_F6, 0x07 },
    { SDL_SCANCODE_F7, 0x08 },
    { SDL_SCANCODE_F8, 0x09 },
    { SDL_SCANCODE_F9, 0x0a },
    { SDL_SCANCODE_F10, 0x0b },
    { SDL_SCANCODE_F11, 0x0c },
    { SDL_SCANCODE_F12, 0x0d },
    { SDL_SCANCODE_PRINTSCREEN, 0x0e },
    { SDL_SCANCODE_SCROLLLOCK, 0x0f },
    { SDL_SCANCODE_PAUSE, 0x10 },
    { SDL_SCANCODE_GRAVE, 0x11 },
    { SDL_SCANCODE_1, 0x12 },
    { SDL_SCANCODE_2, 0x13 },
    { SDL_SCANCODE_3, 0x14 },
    { SDL_SCANCODE_4, 0x15 },
    { SDL_SCANCODE_5, 0x16 },
    { SDL_SCANCODE_6, 0x17 },
    { SDL_SCANCODE_7, 0x18 },
    { SDL_SCANCODE_8, 0x19 },
    { SDL_SCANCODE_9, 0x1a },
    { SDL_SCANCODE_0, 0x1b },
    { SDL_SCANCODE_MINUS, 0x1c },
    { SDL_SCANCODE_EQUALS, 0x1d },
    { SDL_SCANCODE_BACKSPACE, 0x1e },
    { SDL_SCANCODE_INSERT, 0x1f },
    { SDL_SCANCODE_HOME, 0x20 },
    { SDL_SCANCODE_PAGEUP, 0x21 },
    { SDL_SCANCODE_NUMLOCKCLEAR, 0x22 },
    { SDL_SCANCODE_KP_DIVIDE, 0x23 },
    { SDL_SCANCODE_KP_MULTIPLY, 0x24 },
    { SDL_SCANCODE_KP_MINUS, 0x25 },
    { SDL_SCANCODE_TAB, 0x26 },
    { SDL_SCANCODE_Q, 0x27 },
    { SDL_SCANCODE_W, 0x28 },
    { SDL_SCANCODE_E, 0x29 },
    { SDL_SCANCODE_R, 0x2a },
    { SDL_SCANCODE_T, 0x2b },
    { SDL_SCANCODE_Y, 0x2c },
    { SDL_SCANCODE_U, 0x2d },
    { SDL_SCANCODE_I, 0x2e },
    { SDL_SCANCODE_O, 0x2f },
    { SDL_SCANCODE_P, 0x30 },
    { SDL_SCANCODE_LEFTBRACKET, 0x31 },
    { SDL_SCANCODE_RIGHTBRACKET, 0x32 },
    { SDL_SCANCODE_BACKSLASH, 0x33 },
    { SDL_SCANCODE_DELETE, 0x34 },
    { SDL_SCANCODE_END, 0x35 },
    { SDL_SCANCODE_PAGEDOWN, 0x36 },
    { SDL_SCANCODE_KP_7, 0x37 },
    { SDL_SCANCODE_KP_8, 0x38 },
    { SDL_SCANCODE_KP_9, 0x39 },
    { SDL_SCANCODE_KP_PLUS, 0x3a },
    { SDL_SCANCODE_CAPSLOCK, 0x3b },
    { SDL_SCANCODE_A, 0x3c },
    { SDL_SCANCODE_S, 0x3d },
    { SDL_SCANCODE_D, 0x3e },
    { SDL_SCANCODE_F, 0x3f },
    { SDL_SCANCODE_G, 0x40 },
    { SDL_SCANCODE_H, 0x41 },
    { SDL_SCANCODE_J, 0x42 },
    { SDL_SCANCODE_K, 0x43 },
    { SDL_SCANCODE_L, 0x44 },
    { SDL_SCANCODE_SEMICOLON, 0x45 },
    { SDL_SCANCODE_APOSTROPHE, 0x46 },
    { SDL_SCANCODE_RETURN, 0x47 },
    { SDL_SCANCODE_KP_4, 0x48 },
    { SDL_SCANCODE_KP_5, 0x49 },
    { SDL_SCANCODE_KP_6, 0x4a },
    { SDL_SCANCODE_LSHIFT, 0x4b },
    { SDL_SCANCODE_Z, 0x4c },
    { SDL_SCANCODE_X, 0x4d },
    { SDL_SCANCODE_C, 0x4e },
    { SDL_SCANCODE_V, 0x4f },
    { SDL_SCANCODE_B, 0x50 },
    { SDL_SCANCODE_N, 0x51 },
    { SDL_SCANCODE_M, 0x52 },
    { SDL_SCANCODE_COMMA, 0x53 },
    { SDL_SCANCODE_PERIOD, 0x54 },
    { SDL_SCANCODE_SLASH, 0x55 },
    { SDL_SCANCODE_RSHIFT, 0x56 },
    { SDL_SCANCODE_UP, 0x57 },
    { SDL_SCANCODE_KP_1, 0x58 },
    { SDL_SCANCODE_KP_2, 0x59 },
    { SDL_SCANCODE_KP_3, 0x5a },
    { SDL_SCANCODE_KP_ENTER, 0x5b },
    { SDL_SCANCODE_LCTRL, 0x5c },
    { SDL_SCANCODE_LALT, 0x5d },
    { SDL_SCANCODE_SPACE, 0x5e },
    { SDL_SCANCODE_RALT, 0x5f },
    { SDL_SCANCODE_RCTRL, 0x60 },
    { SDL_SCANCODE_LEFT, 0x61 },
    { SDL_SCANCODE_DOWN, 0x62 },
    { SDL_SCANCODE_RIGHT, 0x63 },
    { SDL_SCANCODE_KP_0, 0x64 },
    { SDL_SCANCODE_KP_PERIOD, 0x65 },
    { SDL_SCANCODE_LGUI, 0x66 },
    { SDL_SCANCODE_RGUI, 0x67 },
    { SDL_SCANCODE_APPLICATION, 0x68 },
    { SDL_SCANCODE_NONUSBACKSLASH, 0x69 },
};

struct KeyByte {
    SDL_Keycode key;
    char byte;
};

const KeyByte kKeyBytes[] = {
    { SDLK_RETURN, KeyBytes::kEnter },
    { SDLK_KP_ENTER, KeyBytes::kEnter },
    { SDLK_RETURN2, KeyBytes::kEnter },
    { SDLK_ESCAPE, KeyBytes::kEscape },
    { SDLK_BACKSPACE, KeyBytes::kBackspace },
    { SDLK_TAB, KeyBytes::kTab },
    { SDLK_DELETE, KeyBytes::kDelete },
    { SDLK_INSERT, KeyBytes::kInsert },
    { SDLK_HOME, KeyBytes::kHome },
    { SDLK_END, KeyBytes::kEnd },
    { SDLK_PAGEUP, KeyBytes::kPageUp },
    { SDLK_PAGEDOWN, KeyBytes::kPageDown },
    { SDLK_LEFT, KeyBytes::kLeftArrow },
    { SDLK_RIGHT, KeyBytes::kRightArrow },
    { SDLK_UP, KeyBytes::kUpArrow },
    { SDLK_DOWN, KeyBytes::kDownArrow },
    { SDLK_F1, KeyBytes::kFunctionKey },
    { SDLK_F2, KeyBytes::kFunctionKey },
    { SDLK_F3, KeyBytes::kFunctionKey },
    { SDLK_F4, KeyBytes::kFunctionKey },
    { SDLK_F5, KeyBytes::kFunctionKey },
    { SDLK_F6, KeyBytes::kFunctionKey },
    { SDLK_F7, KeyBytes::kFunctionKey },
    { SDLK_F8, KeyBytes::kFunctionKey },
    { SDLK_F9, KeyBytes::kFunctionKey },
    { SDLK_F10, KeyBytes::kFunctionKey },
    { SDLK_F11, KeyBytes::kFunctionKey },
    { SDLK_F12, KeyBytes::kFunctionKey },
    { SDLK_PRINTSCREEN, KeyBytes::kFunctionKey },
    { SDLK_SCROLLLOCK, KeyBytes::kFunctionKey },
    { SDLK_PAUSE, KeyBytes::kFunctionKey },
};

} // namespace

int32 KeyCodeFor(SDL_Scancode scancode)
{
    for (const ScancodeEntry& entry : kScancodes) {
        if (entry.scancode == scancode)
            return entry.key;
    }
    return 0;
}

uint32 ModifiersFor(uint16 sdlModifiers)
{
    uint32 modifiers = 0;
    if ((sdlModifiers & KMOD_LSHIFT) != 0)
        modifiers |= kShiftKey | kLeftShiftKey;
    if ((sdlModifiers & KMOD_RSHIFT) != 0)
        modifiers |= kShiftKey | kRightShiftKey;
    if ((sdlModifiers & KMOD_LCTRL) != 0)
        modifiers |= kCommandKey | kLeftCommandKey;
    if ((sdlModifiers & KMOD_RCTRL) != 0)
        modifiers |= kCommandKey | kRightCommandKey;
    if ((sdlModifiers & KMOD_LALT) != 0)
        modifiers |= kControlKey | kLeftControlKey;
    if ((sdlModifiers & KMOD_RALT) != 0)
        modifiers |= kControlKey | kRightControlKey;
    if ((sdlModifiers & KMOD_LGUI) != 0)
        modifiers |= kOptionKey | kLeftOptionKey;
    if ((sdlModifiers & KMOD_RGUI) != 0)
        modifiers |= kOptionKey | kRightOptionKey;
    if ((sdlModifiers & KMOD_CAPS) != 0)
        modifiers |= kCapsLock;
    if ((sdlModifiers & KMOD_NUM) != 0)
        modifiers |= kNumLock;
    if ((sdlModifiers & KMOD_SCROLL) != 0)
        modifiers |= kScrollLock;
    return modifiers;
}

bool IsModifierKey(SDL_Keycode key)
{
    switch (key) {
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
    case SDLK_LCTRL:
    case SDLK_RCTRL:
    case SDLK_LALT:
    case SDLK_RALT:
    case SDLK_LGUI:
    case SDLK_RGUI:
    case SDLK_CAPSLOCK:
    case SDLK_NUMLOCKCLEAR:
    case SDLK_MODE:
        return true;
    default:
        return false;
    }
}

std::string BytesForKey(SDL_Keycode key, uint32 modifiers)
{
    for (const KeyByte& entry : kKeyBytes) {
        if (entry.key == key)
            return std::string(1, entry.byte);
    }
    if (key < 0x20 || key > 0x7e)
        return std::string();
    char character = char(key);
    bool letter = character >= 'a' && character <= 'z';
    if (letter && (modifiers & kControlKey) != 0)
        return std::string(1, char(character & 0x1f));
    if (letter && ((modifiers & kShiftKey) != 0) != ((modifiers & kCapsLock) != 0))
        character = char(character - 'a' + 'A');
    return std::string(1, character);
}

uint32 RawCharFor(SDL_Keycode key)
{
    for (const KeyByte& entry : kKeyBytes) {
        if (entry.key == key)
            return uint8(entry.byte);
    }
    if (key >= 0x20 && key <= 0x7e)
        return uint32(key);
    return 0;
}

} // namespace BPrivate
