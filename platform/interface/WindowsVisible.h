#pragma once

// Whether the program's windows would be seen by anyone: a desktop is
// reachable, or BRENVIK_DISPLAY asks for a display backend by name (the
// headless one of the tests and the UI driver included). A program that has
// another way to ask its questions when there is no desktop calls this
// before its first window; the notice of running headless is then not said.

namespace BPrivate {

bool WindowsCanShow();
// For a program that shows no window at all (a terminal's installer): what
// asks for the screen gets a headless one, and nothing is said about it.
void ShowNoWindows();

} // namespace BPrivate
