#pragma once

// The UI driver's verbs. Each Try... function makes one attempt: it answers
// true once its action has been carried out (the driver then goes on to the
// next line) and false while it cannot apply yet (the driver tries again
// until the deadline).

#include <Messenger.h>
#include <Point.h>

#include <functional>
#include <string>
#include <vector>

class BView;
class BWindow;

namespace BPrivate {

class UIDriverActions {
public:
    bool TryWaitWindow(const std::string& title);
    bool TryClick(const std::string& name);
    bool TryClickLabel(const std::string& label);
    // Two clicks in a row at the control, the second counted as a double
    // click, with nothing waited for between them.
    bool TryDoubleClickLabel(const std::string& label);
    // Asks the shown window of this title to close, as its close button does.
    bool TryClose(const std::string& title);
    // Whether the first view named `name` in a shown window is shown and
    // enabled (a control, a menu field).
    bool TryWaitEnabled(const std::string& name);
    bool TryChoose(const std::string& name, const std::string& item);
    bool TryTick(const std::string& name, int32 row);
    // A plain click on the row, without a modifier, as a user clicks.
    bool TryClickRow(const std::string& name, int32 row);
    bool TryType(const std::string& name, const std::string& text);
    bool TryKey(const std::string& key);
    bool TryAlert(const std::string& label);
    bool TryPanel(const std::string& path);
    bool TryDrop(const std::string& name, const std::string& path);
    bool TryScreenshot(const std::string& file);
    // The front window has drawn everything and shown it on the display.
    bool TryWaitDrawn();
    bool TryScreenshotWindow(const std::string& title, const std::string& file);
    // Writes what every shown window shows, one view a line, to `file`.
    bool TryDump(const std::string& file);
    // Whether the first view named `name` shows exactly `text`.
    bool TryWaitText(const std::string& name, const std::string& text);
    // Whether the menu field named `name` (or the first one inside the view
    // of that name) has an item labelled `item`, enabled or not.
    bool TryWaitItem(const std::string& name, const std::string& item);

    // Waits, at most `limit`, until every shown window has taken its input
    // and messages and drawn what it had to, twice in a row: as a user waits
    // for the screen to settle (a menu to open, an alert to appear) before
    // the next step. A window that stays busy only costs the limit.
    void WaitUntilQuiet(bigtime_t limit);

    // Parses a key description ("Enter", "Ctrl+A", "Shift+F1", "x").
    static bool ParseKey(
        const std::string& description, std::string* bytes, int32* key, uint32* modifiers);

private:
    int32 SettledFrontWindow();
    // Clicks the row, scrolled into view; `toggle` makes it a Command-click
    // in a list of many choices.
    bool ClickRow(const std::string& name, int32 row, bool toggle);
    // Looks through the shown windows, front first, each locked in turn, for
    // a view that `match` accepts and that can take input (visible, enabled,
    // not behind a modal window). `act` runs with the window still locked
    // and gives the point (window coordinates) to act at.
    struct Target {
        int32 displayWindow = -1;
        BPoint where;
        BMessenger window;
    };
    bool ClickLabel(const std::string& label, int32 clicks);
    bool FindTarget(const std::function<bool(BView*)>& match,
        const std::function<bool(BView*, BPoint*)>& place, Target* target);

    // A step that waits for another one: the pending alert and the menu
    // whose item is to be chosen.
    BMessenger fPendingAlert;
    bool fMenuOpened = false;
    BMessenger fMenuWindow;
    bigtime_t fMenuClickTime = 0;
};

} // namespace BPrivate
