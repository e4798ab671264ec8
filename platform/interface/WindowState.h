#pragma once

// What a program may ask of its own windows beyond the BeOS API, to wait for
// them on the display (the gallery's screenshots, tests that inject input):
// whether a window has settled, and its id on the display.

#include <SupportDefs.h>

class BWindow;

namespace BPrivate {

// With the window locked: whether it has nothing left to draw and nothing
// left to handle of its input.
bool IsWindowSettled(BWindow* window);

// The window's id on the display (DisplayBackend), or -1 for the window of
// a bitmap, which never reaches the display.
int32 WindowDisplayId(BWindow* window);

} // namespace BPrivate
