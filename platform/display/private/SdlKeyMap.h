#pragma once

// Translation of SDL's keys and modifiers into the platform's: key codes of
// the platform's keyboard, modifier bits, and the bytes keys give when SDL
// reports no text for them. Private to the SDL backend (it includes SDL).

#include <SupportDefs.h>

#include <SDL_keyboard.h>
#include <string>

namespace BPrivate {

// The platform key code of a physical key; 0 for keys it does not have.
int32 KeyCodeFor(SDL_Scancode scancode);

// The platform modifier bits of SDL's modifier state.
uint32 ModifiersFor(uint16 sdlModifiers);

// Whether the key is a modifier (its presses change the modifiers only).
bool IsModifierKey(SDL_Keycode key);

// The bytes of a key when no text came with it: control bytes for editing
// and movement keys, the function-key byte for F1 to F12 and the like, the
// character itself (shifted for letters) with the command key, and a
// control character for a letter with the control key. Empty when the key
// gives nothing.
std::string BytesForKey(SDL_Keycode key, uint32 modifiers);

// The key's character without modifiers (the "raw_char" field): its byte for
// keys with one, else the character of the key's plain keysym.
uint32 RawCharFor(SDL_Keycode key);

} // namespace BPrivate
