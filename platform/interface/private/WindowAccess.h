#pragma once

// WindowAccess: what the kit's own classes (menus, alerts, bitmaps, the UI
// driver) may do with a window beyond its public interface.

#include <Window.h>

#include "MenuTracker.h"

#include <functional>

namespace BPrivate {

class TopView;
class WindowLink;

class WindowAccess {
public:
    static TopView* TopViewOf(BWindow* window);
    static WindowLink* Link(BWindow* window);

    // Opens a menu in the window (see MenuTracker). Fails with B_BUSY while
    // another menu is open there.
    static status_t OpenMenu(BWindow* window, BMenu* menu, BPoint where, bool pressedToOpen,
        MenuTracker::Completion completion, bool fromKeyboard = false);
    static MenuTracker* Tracker(BWindow* window);
    static void CloseMenus(BWindow* window);

    // Hands an input event to the window as the display would.
    static status_t PostInput(BWindow* window, BMessage* message);

    // On the window's own thread, inside a message: takes input and draws
    // until `done` answers true.
    static void RunNestedInputLoop(BWindow* window, const std::function<bool()>& done);
    static bool IsWindowThread(const BWindow* window);

    // The mouse as the window last saw it (window coordinates).
    static BPoint MouseLocation(BWindow* window);
    // The buttons held as of the event being handled (on the window's
    // thread), or as last reported (elsewhere).
    static uint32 MouseButtons(BWindow* window);

    // Whether the window has nothing left to draw or to handle of its input
    // (for tests and the UI driver, which wait for a window to settle).
    static bool IsSettled(BWindow* window);
};

} // namespace BPrivate
