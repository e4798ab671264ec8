#include "WindowAccess.h"

#include <WindowState.h>

#include "TopView.h"
#include "WindowLink.h"

#include <Port.h>

namespace BPrivate {

TopView* WindowAccess::TopViewOf(BWindow* window)
{
    return window->fTopView.get();
}

WindowLink* WindowAccess::Link(BWindow* window)
{
    return window->fLink.get();
}

status_t WindowAccess::OpenMenu(BWindow* window, BMenu* menu, BPoint where, bool pressedToOpen,
    MenuTracker::Completion completion, bool fromKeyboard)
{
    if (window == nullptr || menu == nullptr)
        return B_BAD_VALUE;
    if (window->fMenuTracker != nullptr) {
        if (!window->fMenuTracker->IsDone())
            return B_BUSY;
        window->RetireMenuTracker();
    }
    window->fMenuTracker
        = std::make_unique<MenuTracker>(window, menu, where, pressedToOpen, std::move(completion));
    if (fromKeyboard)
        window->fMenuTracker->HighlightMarked();
    return B_OK;
}

MenuTracker* WindowAccess::Tracker(BWindow* window)
{
    return window->fMenuTracker.get();
}

void WindowAccess::CloseMenus(BWindow* window)
{
    if (window->fMenuTracker == nullptr)
        return;
    window->fMenuTracker->Dismiss();
    window->RetireMenuTracker();
}

status_t WindowAccess::PostInput(BWindow* window, BMessage* message)
{
    return window->PostInput(message);
}

void WindowAccess::RunNestedInputLoop(BWindow* window, const std::function<bool()>& done)
{
    window->RunNestedInputLoop(done);
}

bool WindowAccess::IsWindowThread(const BWindow* window)
{
    return window != nullptr && window->Thread() >= 0 && find_thread(nullptr) == window->Thread();
}

BPoint WindowAccess::MouseLocation(BWindow* window)
{
    return window->LatestMouse().where;
}

uint32 WindowAccess::MouseButtons(BWindow* window)
{
    if (IsWindowThread(window)) {
        std::lock_guard guard(window->fInputLock);
        return window->fMouse.buttons;
    }
    return window->LatestMouse().buttons;
}

bool WindowAccess::IsSettled(BWindow* window)
{
    if (!window->fDirty->IsEmpty() || window->fUpdateRequested)
        return false;
    // Input the display holds for the window counts as unhandled too, also
    // when no wake-up message for it is queued (one that found the queue
    // full is not repeated until the next event).
    if (window->fLink != nullptr && window->fLink->CountWaitingEvents() > 0)
        return false;
    {
        std::lock_guard guard(window->fInputLock);
        if (!window->fPendingInput.empty())
            return false;
    }
    // A message the window's thread has taken from the queue but not yet
    // handled (it waits for the lock the caller holds) counts as waiting;
    // on the window's own thread, the message in hand is the caller's.
    std::shared_ptr<Port> port = Port::Find(window->PortId());
    if (port == nullptr)
        return !window->IsMessageWaiting();
    int32 inHand = find_thread(nullptr) == window->Thread() ? 1 : 0;
    return port->CountUnhandled() <= inHand;
}

bool IsWindowSettled(BWindow* window)
{
    return WindowAccess::IsSettled(window);
}

int32 WindowDisplayId(BWindow* window)
{
    return WindowAccess::Link(window)->DisplayId();
}

} // namespace BPrivate
