// BWindow: handing messages and input events to the views they are aimed
// at, and moving the keyboard focus.

#include <Window.h>

#include <Button.h>
#include <MenuBar.h>
#include <MenuField.h>
#include <View.h>

#include <MessageDelivery.h>

#include "Desktop.h"
#include "MenuTracker.h"
#include "TopView.h"
#include "WindowAccess.h"
#include "WindowLink.h"
#include "WindowPrivate.h"

#include <cstring>

using BPrivate::kMsgUpdate;

void BWindow::DispatchMessage(BMessage* message, BHandler* handler)
{
    switch (message->what) {
    case kMsgUpdate:
        fUpdateRequested = false;
        DrawPendingUpdates();
        break;
    case BPrivate::kMsgActivateWindow:
        Activate(true);
        break;
    case BPrivate::kMsgOpenMenu:
        OpenRequestedMenu(message);
        break;
    case BPrivate::kMsgDisplayEvents:
        DrainDisplayEvents();
        break;
    case BPrivate::kMsgAppEvents:
        BPrivate::Desktop::Default().HandleAppEvents();
        break;
    case B_MOUSE_DOWN:
    case B_MOUSE_UP:
    case B_MOUSE_MOVED:
    case B_MOUSE_WHEEL_CHANGED:
    case B_KEY_DOWN:
    case B_KEY_UP:
    case B_UNMAPPED_KEY_DOWN:
    case B_UNMAPPED_KEY_UP:
    case B_MODIFIERS_CHANGED:
        if (handler == this || handler == nullptr || handler == PreferredHandler()) {
            if (TakePendingInput(message))
                DispatchInput(message);
        } else {
            BLooper::DispatchMessage(message, handler);
        }
        break;
    case B_SIMPLE_DATA:
        if (message->HasBool(BPrivate::kDropField))
            HandleDrop(message);
        else
            BLooper::DispatchMessage(message, handler);
        break;
    case B_WINDOW_ACTIVATED:
    case B_WINDOW_MOVED:
    case B_WINDOW_RESIZED:
    case B_SCREEN_CHANGED:
    case B_ZOOM:
    case B_MINIMIZE:
        if (handler == this)
            HandleWindowEvent(message);
        else
            BLooper::DispatchMessage(message, handler);
        break;
    default:
        BLooper::DispatchMessage(message, handler);
        break;
    }
    fRetiredTrackers.clear();
    if (!fDelivering) {
        fDelivering = true;
        // Events whose wake-up message found the queue full would otherwise
        // wait for the next event.
        if (fLink != nullptr && fLink->CountWaitingEvents() > 0)
            DrainDisplayEvents();
        DeliverUndelivered();
        fDelivering = false;
    }
    // What was drawn while handling the message goes to the screen now, and
    // an update that could not be requested before is asked for again.
    if (!fDirty->IsEmpty() && !fUpdateRequested)
        RequestUpdate();
    PresentPending();
}

void BWindow::MessageReceived(BMessage* message)
{
    BLooper::MessageReceived(message);
}

bool BWindow::DispatchInput(BMessage* message)
{
    int32 modifiers = 0;
    if (message->FindInt32("modifiers", &modifiers) == B_OK)
        BPrivate::Desktop::Default().SetModifiers(uint32(modifiers));
    switch (message->what) {
    case B_MOUSE_DOWN:
        HandleMouseDown(message);
        return true;
    case B_MOUSE_UP:
        HandleMouseUp(message);
        return true;
    case B_MOUSE_MOVED:
        HandleMouseMoved(message);
        return true;
    case B_KEY_DOWN:
    case B_UNMAPPED_KEY_DOWN:
        HandleKeyDown(message);
        return true;
    case B_KEY_UP:
    case B_UNMAPPED_KEY_UP:
        HandleKeyUp(message);
        return true;
    case B_MOUSE_WHEEL_CHANGED: {
        BPoint where = fMouse.where;
        BView* view = ViewAt(where);
        if (view != nullptr && view != fTopView.get() && !IsBlockedByModal())
            view->MessageReceived(message);
        return true;
    }
    case B_MODIFIERS_CHANGED:
        if (fFocus != nullptr)
            fFocus->MessageReceived(message);
        return true;
    }
    return false;
}

// #pragma mark - the mouse

BView* BWindow::ViewAt(BPoint windowWhere) const
{
    std::function<BView*(BView*, BPoint)> find = [&](BView* view, BPoint where) -> BView* {
        // `where` is in the view's parent's coordinates.
        if (view->fShowLevel > 0 || !view->fFrame.Contains(where))
            return nullptr;
        BPoint local = view->ConvertFromParent(where);
        for (auto child = view->fChildren.rbegin(); child != view->fChildren.rend(); child++) {
            if (BView* found = find(*child, local))
                return found;
        }
        return view;
    };
    return find(fTopView.get(), windowWhere);
}

void BWindow::PrepareMouseMessage(BMessage* message, BView* view, BPoint windowWhere)
{
    BPoint viewWhere = windowWhere - view->OffsetInWindow();
    if (message->ReplacePoint("be:view_where", viewWhere) != B_OK)
        message->AddPoint("be:view_where", viewWhere);
}

bool BWindow::IsBlockedByModal() const
{
    if (IsModal())
        return false;
    return BPrivate::Desktop::Default().BlockingModal(this).IsValid();
}

void BWindow::HandleMouseDown(BMessage* message)
{
    BPoint where;
    message->FindPoint("where", &where);
    if (IsBlockedByModal()) {
        BMessenger modal = BPrivate::Desktop::Default().BlockingModal(this);
        modal.SendMessage(BPrivate::kMsgActivateWindow);
        return;
    }
    if (fMenuTracker != nullptr) {
        fMenuTracker->MouseDown(message, where);
        RetireMenuTracker();
        return;
    }
    if (!IsActive() && (fFlags & B_AVOID_FOCUS) == 0)
        Activate(true);
    BView* view = ViewAt(where);
    if (view == nullptr || view == fTopView.get())
        return;
    fMouseDownView = view;
    PrepareMouseMessage(message, view, where);
    view->MouseDown(where - view->OffsetInWindow());
}

void BWindow::HandleMouseUp(BMessage* message)
{
    BPoint where;
    message->FindPoint("where", &where);
    int32 buttons = 0;
    message->FindInt32("buttons", &buttons);
    if (fMenuTracker != nullptr) {
        fMenuTracker->MouseUp(message, where);
        RetireMenuTracker();
        return;
    }
    BView* view = fMouseEventView != nullptr ? fMouseEventView : ViewAt(where);
    if (buttons == 0) {
        fMouseEventView = nullptr;
        fMouseDownView = nullptr;
    }
    if (view == nullptr || view == fTopView.get() || IsBlockedByModal())
        return;
    PrepareMouseMessage(message, view, where);
    view->MouseUp(where - view->OffsetInWindow());
}

void BWindow::SendMouseMoved(BView* view, BMessage* message, BPoint where, uint32 transit)
{
    if (view == nullptr || view->Window() != this)
        return;
    PrepareMouseMessage(message, view, where);
    view->MouseMoved(where - view->OffsetInWindow(), transit, nullptr);
}

void BWindow::HandleMouseMoved(BMessage* message)
{
    BPoint where;
    message->FindPoint("where", &where);
    if (fMenuTracker != nullptr) {
        fMenuTracker->MouseMoved(message, where);
        RetireMenuTracker();
        return;
    }
    int32 transit = 0;
    bool leftWindow
        = message->FindInt32("be:transit", &transit) == B_OK && transit == B_EXITED_VIEW;
    BView* view = leftWindow ? nullptr : ViewAt(where);
    if (view == fTopView.get())
        view = nullptr;
    if (IsBlockedByModal())
        view = nullptr;

    BView* last = fLastMouseMovedView;
    if (fMouseEventView != nullptr) {
        // The view that asked for all pointer events hears of every move,
        // inside it or not.
        bool inside = view == fMouseEventView;
        bool wasInside = last == fMouseEventView;
        uint32 maskTransit = inside ? (wasInside ? B_INSIDE_VIEW : B_ENTERED_VIEW)
                                    : (wasInside ? B_EXITED_VIEW : B_OUTSIDE_VIEW);
        SendMouseMoved(fMouseEventView, message, where, maskTransit);
    }
    if (view != last) {
        if (last != nullptr && last != fMouseEventView)
            SendMouseMoved(last, message, where, B_EXITED_VIEW);
        fLastMouseMovedView = view;
        if (view != nullptr && view != fMouseEventView)
            SendMouseMoved(view, message, where, B_ENTERED_VIEW);
    } else if (view != nullptr && view != fMouseEventView) {
        SendMouseMoved(view, message, where, B_INSIDE_VIEW);
    }
}

// #pragma mark - the keyboard

void BWindow::HandleKeyDown(BMessage* message)
{
    // A key typed while a modal window blocks this one is that window's: it
    // stands in front, even when the display has not made it active yet.
    if (IsBlockedByModal()) {
        BMessenger modal = BPrivate::Desktop::Default().BlockingModal(this);
        modal.SendMessage(BPrivate::kMsgActivateWindow);
        modal.SendMessage(message);
        return;
    }
    const char* bytes = "";
    message->FindString("bytes", &bytes);
    int32 modifiers = 0;
    message->FindInt32("modifiers", &modifiers);
    int32 rawChar = 0;
    if (message->FindInt32("raw_char", &rawChar) != B_OK)
        rawChar = uint8(bytes[0]);

    if (fMenuTracker != nullptr) {
        fMenuTracker->KeyDown(message, bytes);
        RetireMenuTracker();
        return;
    }
    if ((modifiers & B_COMMAND_KEY) != 0 && rawChar == B_ESCAPE && fKeyMenuBar != nullptr
        && fKeyMenuBar->Window() == this && !fKeyMenuBar->IsHidden()) {
        // Command+Escape opens the key menu bar's first menu.
        fKeyMenuBar->StartMenuBar(0);
        return;
    }
    if ((modifiers & B_COMMAND_KEY) != 0) {
        // Command keys are shortcuts, and always eaten.
        HandleShortcut(message, uint32(rawChar), uint32(modifiers));
        return;
    }
    const uint32 kNonLockModifiers
        = B_SHIFT_KEY | B_COMMAND_KEY | B_CONTROL_KEY | B_OPTION_KEY | B_MENU_KEY;
    // Enter presses the default button, except on a menu field, which it
    // opens (as Space does).
    bool focusTakesEnter = dynamic_cast<BMenuField*>(fFocus) != nullptr;
    if (fDefaultButton != nullptr && rawChar == B_ENTER && (modifiers & kNonLockModifiers) == 0
        && fDefaultButton->Window() == this && !focusTakesEnter) {
        fDefaultButton->KeyDown(bytes, int32(std::strlen(bytes)));
        return;
    }
    if (rawChar == B_ESCAPE && (fFlags & B_CLOSE_ON_ESCAPE) != 0) {
        PostMessage(B_QUIT_REQUESTED);
        return;
    }
    if (fFocus != nullptr) {
        fFocus->KeyDown(bytes, int32(std::strlen(bytes)));
    } else if (rawChar == B_TAB && (modifiers & B_OPTION_KEY) == 0) {
        // Nothing has the focus yet: Tab gives it to the first view that
        // takes it.
        NavigateFocus((modifiers & B_SHIFT_KEY) == 0, (modifiers & B_CONTROL_KEY) != 0);
    } else {
        MessageReceived(message);
    }
}

void BWindow::HandleKeyUp(BMessage* message)
{
    if (IsBlockedByModal()) {
        BPrivate::Desktop::Default().BlockingModal(this).SendMessage(message);
        return;
    }
    if (fMenuTracker != nullptr)
        return;
    const char* bytes = "";
    message->FindString("bytes", &bytes);
    if (fFocus != nullptr)
        fFocus->KeyUp(bytes, int32(std::strlen(bytes)));
    else
        MessageReceived(message);
}

void BWindow::SetFocus(BView* view)
{
    if (fFocus == view)
        return;
    fFocus = view;
    SetPreferredHandler(view);
}

void BWindow::NavigateFocus(bool forward, bool jump)
{
    // The views that take the focus, in the order of the tree.
    std::vector<BView*> views;
    uint32 flag = jump ? B_NAVIGABLE_JUMP : B_NAVIGABLE;
    std::function<void(BView*)> collect = [&](BView* view) {
        if (view->fShowLevel > 0)
            return;
        if ((view->Flags() & flag) != 0 && view != fTopView.get())
            views.push_back(view);
        for (BView* child : view->fChildren)
            collect(child);
    };
    collect(fTopView.get());
    if (views.empty())
        return;
    auto current = std::find(views.begin(), views.end(), fFocus);
    size_t index;
    if (current == views.end())
        index = forward ? 0 : views.size() - 1;
    else if (forward)
        index = (size_t(current - views.begin()) + 1) % views.size();
    else
        index = (size_t(current - views.begin()) + views.size() - 1) % views.size();
    views[index]->MakeFocus(true);
}

void BWindow::OpenRequestedMenu(BMessage* message)
{
    // BPopUpMenu::Go called on another thread: the menu opens here, and the
    // completion (which the message hands over) tells the caller.
    void* menuPointer = nullptr;
    void* completionPointer = nullptr;
    BPoint where;
    message->FindPointer("menu", &menuPointer);
    message->FindPointer("completion", &completionPointer);
    message->FindPoint("where", &where);
    std::unique_ptr<BPrivate::MenuTracker::Completion> completion(
        static_cast<BPrivate::MenuTracker::Completion*>(completionPointer));
    BMenu* menu = static_cast<BMenu*>(menuPointer);
    if (completion == nullptr)
        return;
    bool pressed = LatestMouse().buttons != 0;
    if (menu == nullptr
        || BPrivate::WindowAccess::OpenMenu(
               this, menu, ConvertFromScreen(where), pressed, *completion)
            != B_OK)
        (*completion)(nullptr);
}

void BWindow::RetireMenuTracker()
{
    // A finished tracker is deleted after the current message, not from
    // inside one of its own calls.
    if (fMenuTracker != nullptr && fMenuTracker->IsDone())
        fRetiredTrackers.push_back(std::move(fMenuTracker));
}

void BWindow::ViewDetached(BView* view)
{
    if (fFocus == view)
        SetFocus(nullptr);
    if (fLastMouseMovedView == view)
        fLastMouseMovedView = nullptr;
    if (fMouseEventView == view)
        fMouseEventView = nullptr;
    if (fMouseDownView == view)
        fMouseDownView = nullptr;
    if (static_cast<BView*>(fDefaultButton) == view)
        fDefaultButton = nullptr;
    if (reinterpret_cast<BView*>(fKeyMenuBar) == view)
        fKeyMenuBar = nullptr;
    if (fMenuTracker != nullptr) {
        fMenuTracker->ViewDetached(view);
        RetireMenuTracker();
    }
}

// #pragma mark - drops and window events

void BWindow::HandleDrop(BMessage* message)
{
    BPoint where;
    message->FindPoint(BPrivate::kDropPointField, &where);
    message->RemoveName(BPrivate::kDropField);
    message->RemoveName(BPrivate::kDropPointField);
    BPrivate::MessageDelivery& delivery = BPrivate::MessageDelivery::Of(*message);
    delivery.wasDropped = true;
    delivery.dropPoint = ConvertToScreen(where);
    delivery.dropOffset = B_ORIGIN;
    if (IsBlockedByModal())
        return;
    BView* view = ViewAt(where);
    if (view == nullptr || view == fTopView.get()) {
        MessageReceived(message);
        return;
    }
    view->MessageReceived(message);
}

void BWindow::HandleWindowEvent(BMessage* message)
{
    switch (message->what) {
    case B_WINDOW_ACTIVATED: {
        bool active = false;
        message->FindBool("active", &active);
        if (active)
            BPrivate::Desktop::Default().BringToFront(this);
        if (active == fActive)
            return;
        fActive = active;
        if (!active && fMenuTracker != nullptr) {
            fMenuTracker->Dismiss();
            RetireMenuTracker();
        }
        WindowActivated(active);
        std::function<void(BView*)> notify = [&](BView* view) {
            view->WindowActivated(active);
            std::vector<BView*> children = view->fChildren;
            for (BView* child : children)
                notify(child);
        };
        for (int32 i = 0; i < fTopView->CountChildren(); i++)
            notify(fTopView->ChildAt(i));
        break;
    }
    case B_WINDOW_MOVED: {
        BPoint where;
        if (message->FindPoint("where", &where) != B_OK)
            return;
        if (!message->HasBool("_brenvik:applied")) {
            if (where == fFrame.LeftTop())
                return;
            fFrame.OffsetTo(where);
            fLink->SetFrame(fFrame);
        }
        FrameMoved(where);
        break;
    }
    case B_WINDOW_RESIZED: {
        int32 width = 0;
        int32 height = 0;
        if (message->FindInt32("width", &width) != B_OK
            || message->FindInt32("height", &height) != B_OK)
            return;
        if (!message->HasBool("_brenvik:applied"))
            ResizeTo(float(width), float(height));
        else
            FrameResized(float(width), float(height));
        break;
    }
    case B_SCREEN_CHANGED: {
        BRect frame;
        int32 mode = B_RGB32;
        message->FindRect("frame", &frame);
        message->FindInt32("mode", &mode);
        ScreenChanged(frame, color_space(mode));
        break;
    }
    case B_ZOOM:
        Zoom();
        break;
    case B_MINIMIZE: {
        bool minimize = true;
        message->FindBool("minimize", &minimize);
        Minimize(minimize);
        break;
    }
    }
}
