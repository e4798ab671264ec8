#pragma once

// UIDriver: runs the script named by BRENVIK_UI_SCRIPT against the running
// program, on a thread of its own, one action a line (the verbs are in
// docs/ui-driver.md). Each action waits until it can apply, up to a deadline;
// a missed deadline ends the program with a non-zero status after naming the
// action on standard error. The driver works like a user: it finds windows
// and views under each window's lock and injects real input events through
// the display at the controls' positions.

#include <SupportDefs.h>

#include <functional>
#include <string>
#include <vector>

namespace BPrivate {

class UIDriver {
public:
    // Starts the driver once per program, when BRENVIK_UI_SCRIPT is set (the
    // first window made calls it).
    static void StartIfRequested();

    // Runs a script's lines on the calling thread; B_OK when every action
    // happened in time, B_TIMED_OUT (with `failure` naming the action) when
    // one did not, B_BAD_VALUE for a line that is not understood. The
    // program's own driver thread calls it and ends the program on failure.
    static status_t RunScript(const std::vector<std::string>& lines, std::string* failure);

    // The open file panel registers how a path is chosen in it; the "panel"
    // verb waits for one and calls it with the path. The chooser runs on the
    // driver's thread and answers B_OK once the path is chosen.
    using PanelChooser = std::function<status_t(const char* path)>;
    static int32 RegisterPanel(PanelChooser chooser);
    static void UnregisterPanel(int32 token);
};

} // namespace BPrivate
