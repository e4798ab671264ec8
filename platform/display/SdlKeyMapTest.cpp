#include <SdlKeyMap.h>

#include <DisplayEvent.h>

#include <gtest/gtest.h>

using namespace BPrivate;

namespace {

struct KeyCodeCase {
    SDL_Scancode scancode;
    int32 key;
};

class KeyCodeTest : public testing::TestWithParam<KeyCodeCase> { };

TEST_P(KeyCodeTest, PhysicalKeysGetThePlatformsCodes)
{
    EXPECT_EQ(KeyCodeFor(GetParam().scancode), GetParam().key);
}

INSTANTIATE_TEST_SUITE_P(SdlKeyMapTest, KeyCodeTest,
    testing::Values(KeyCodeCase { SDL_SCANCODE_ESCAPE, 0x01 },
        KeyCodeCase { SDL_SCANCODE_F1, 0x02 }, KeyCodeCase { SDL_SCANCODE_F12, 0x0d },
        KeyCodeCase { SDL_SCANCODE_1, 0x12 }, KeyCodeCase { SDL_SCANCODE_BACKSPACE, 0x1e },
        KeyCodeCase { SDL_SCANCODE_TAB, 0x26 }, KeyCodeCase { SDL_SCANCODE_Q, 0x27 },
        KeyCodeCase { SDL_SCANCODE_A, 0x3c }, KeyCodeCase { SDL_SCANCODE_RETURN, 0x47 },
        KeyCodeCase { SDL_SCANCODE_Z, 0x4c }, KeyCodeCase { SDL_SCANCODE_UP, 0x57 },
        KeyCodeCase { SDL_SCANCODE_SPACE, 0x5e }, KeyCodeCase { SDL_SCANCODE_LEFT, 0x61 },
        KeyCodeCase { SDL_SCANCODE_RIGHT, 0x63 }, KeyCodeCase { SDL_SCANCODE_APPLICATION, 0x68 },
        KeyCodeCase { SDL_SCANCODE_F13, 0 }));

struct BytesCase {
    SDL_Keycode key;
    uint32 modifiers;
    const char* bytes;
};

class KeyBytesTest : public testing::TestWithParam<BytesCase> { };

TEST_P(KeyBytesTest, KeysWithoutTextGetThePlatformsBytes)
{
    EXPECT_EQ(BytesForKey(GetParam().key, GetParam().modifiers), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(SdlKeyMapTest, KeyBytesTest,
    testing::Values(BytesCase { SDLK_RETURN, 0, "\x0a" }, BytesCase { SDLK_KP_ENTER, 0, "\x0a" },
        BytesCase { SDLK_ESCAPE, 0, "\x1b" }, BytesCase { SDLK_TAB, kShiftKey, "\x09" },
        BytesCase { SDLK_BACKSPACE, 0, "\x08" }, BytesCase { SDLK_DELETE, 0, "\x7f" },
        BytesCase { SDLK_LEFT, 0, "\x1c" }, BytesCase { SDLK_RIGHT, 0, "\x1d" },
        BytesCase { SDLK_UP, 0, "\x1e" }, BytesCase { SDLK_DOWN, 0, "\x1f" },
        BytesCase { SDLK_HOME, 0, "\x01" }, BytesCase { SDLK_END, 0, "\x04" },
        BytesCase { SDLK_PAGEUP, 0, "\x0b" }, BytesCase { SDLK_PAGEDOWN, 0, "\x0c" },
        BytesCase { SDLK_INSERT, 0, "\x05" }, BytesCase { SDLK_F1, 0, "\x10" },
        BytesCase { SDLK_F12, kShiftKey, "\x10" }, BytesCase { SDLK_w, kCommandKey, "w" },
        BytesCase { SDLK_w, kCommandKey | kShiftKey, "W" },
        BytesCase { SDLK_a, kControlKey, "\x01" }, BytesCase { SDLK_a, kCapsLock, "A" },
        BytesCase { SDLK_1, kCommandKey, "1" }, BytesCase { SDLK_LSHIFT, kShiftKey, "" },
        BytesCase { SDLK_F13, 0, "" }));

TEST(SdlKeyMapTest, CtrlIsTheCommandKeyAndAltTheControlKey)
{
    EXPECT_EQ(ModifiersFor(KMOD_LCTRL), kCommandKey | kLeftCommandKey);
    EXPECT_EQ(ModifiersFor(KMOD_RCTRL), kCommandKey | kRightCommandKey);
    EXPECT_EQ(ModifiersFor(KMOD_LALT), kControlKey | kLeftControlKey);
    EXPECT_EQ(ModifiersFor(KMOD_RSHIFT), kShiftKey | kRightShiftKey);
    EXPECT_EQ(ModifiersFor(KMOD_LGUI), kOptionKey | kLeftOptionKey);
    EXPECT_EQ(ModifiersFor(KMOD_CAPS | KMOD_NUM), kCapsLock | kNumLock);
    EXPECT_EQ(ModifiersFor(KMOD_NONE), 0u);
}

TEST(SdlKeyMapTest, ModifierKeysAreRecognised)
{
    EXPECT_TRUE(IsModifierKey(SDLK_LSHIFT));
    EXPECT_TRUE(IsModifierKey(SDLK_RCTRL));
    EXPECT_TRUE(IsModifierKey(SDLK_CAPSLOCK));
    EXPECT_FALSE(IsModifierKey(SDLK_a));
    EXPECT_EQ(RawCharFor(SDLK_a), uint32('a'));
    EXPECT_EQ(RawCharFor(SDLK_ESCAPE), 0x1bu);
}

} // namespace
