#pragma once

// MenuTracker: a menu popped up in a window. The menu is laid over the
// window's views (as the last child of its top view) and takes all of the
// window's mouse and keyboard input until an item is chosen or the menu is
// dismissed. Submenus open beside their item in the same way.

#include <OS.h>
#include <Point.h>
#include <Rect.h>

#include <functional>
#include <vector>

class BMenu;
class BMenuItem;
class BMessage;
class BView;
class BWindow;

namespace BPrivate {

class MenuTracker {
public:
    // Called once with the chosen item (null when dismissed), after the menu
    // has left the window.
    using Completion = std::function<void(BMenuItem* item)>;

    // Opens `menu` with its top left corner at `where` (window coordinates),
    // moved as needed to lie inside the window. `sticky` keeps the menu open
    // when the button that opened it is released without choosing.
    MenuTracker(
        BWindow* window, BMenu* menu, BPoint where, bool pressedToOpen, Completion completion);
    ~MenuTracker();
    MenuTracker(const MenuTracker&) = delete;
    MenuTracker& operator=(const MenuTracker&) = delete;

    void MouseDown(BMessage* message, BPoint where);
    void MouseUp(BMessage* message, BPoint where);
    void MouseMoved(BMessage* message, BPoint where);
    void KeyDown(BMessage* message, const char* bytes);
    void ViewDetached(BView* view);
    // Highlights the marked item (or the first one): a menu opened from the
    // keyboard starts there.
    void HighlightMarked();

    bool IsDone() const { return fDone; }
    // Closes the menus without choosing.
    void Dismiss() { Finish(nullptr); }
    BMenu* RootMenu() const;
    // The item highlighted in the deepest open menu, or nullptr.
    BMenuItem* Highlighted() const;

private:
    struct Level {
        BMenu* menu;
        BMenuItem* parentItem;
    };

    void Open(BMenu* menu, BPoint where, BMenuItem* parentItem);
    void CloseFrom(size_t level);
    int32 LevelAt(BPoint where) const;
    void Select(size_t level, BMenuItem* item);
    void OpenSubmenu(size_t level, BMenuItem* item);
    void MoveHighlight(int32 direction);
    void Finish(BMenuItem* item);
    BRect PlaceInWindow(BRect frame) const;

    BWindow* fWindow;
    std::vector<Level> fLevels;
    Completion fCompletion;
    bool fButtonHeld;
    bool fOpeningPress = false;
    bool fMoved = false;
    BPoint fPressPoint;
    bigtime_t fOpenTime;
    bool fDone = false;
};

} // namespace BPrivate
