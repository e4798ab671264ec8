#pragma once

// UIDriver: runs the script named by BRENVIK_UI_SCRIPT against the running
// program (see docs/ui-driver.md for its verbs). It starts on a thread of its
// own when the first window is made.

namespace BPrivate {

class UIDriver {
public:
    // Starts the driver once per program, when BRENVIK_UI_SCRIPT is set.
    static void StartIfRequested();
};

} // namespace BPrivate
