// BView: the tree, geometry, visibility, focus and the mouse. The drawing
// state and the drawing calls are in ViewDrawing.cpp.

#include <View.h>

#include <ScrollBar.h>
#include <Window.h>

#include <DrawingContext.h>

#include "RenderAccess.h"
#include "TopView.h"
#include "ViewDrawingState.h"
#include "WindowLink.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

BView::BView(BRect frame, const char* name, uint32 resizingMode, uint32 flags)
    : BHandler(name)
    , fFrame(frame)
    , fResizingMode(resizingMode)
    , fFlags(flags)
    , fViewColor { 255, 255, 255, 255 }
    , fDrawing(std::make_unique<BPrivate::ViewDrawingState>())
{
    fDrawing->current.font = BPrivate::RenderAccess::Font(*be_plain_font);
}

BView::~BView()
{
    if (fWindow != nullptr || fParent != nullptr) {
        // The platform demands that a view be removed before it is deleted;
        // removing it here keeps the tree sound when a program forgets.
        RemoveSelf();
    }
    // Scroll bars that still target this view must not reach back into it
    // once it has gone (its children may be deleted before its bars).
    if (fVerticalScrollBar != nullptr)
        fVerticalScrollBar->SetTarget(static_cast<BView*>(nullptr));
    if (fHorizontalScrollBar != nullptr)
        fHorizontalScrollBar->SetTarget(static_cast<BView*>(nullptr));
    std::vector<BView*> children;
    children.swap(fChildren);
    for (BView* child : children) {
        child->fParent = nullptr;
        child->SetNextHandler(nullptr);
        delete child;
    }
}

void BView::AttachedToWindow() { }

void BView::AllAttached() { }

void BView::DetachedFromWindow() { }

void BView::AllDetached() { }

void BView::Draw(BRect /*updateRect*/) { }

void BView::DrawAfterChildren(BRect /*updateRect*/) { }

void BView::MouseDown(BPoint /*where*/) { }

void BView::MouseUp(BPoint /*where*/) { }

void BView::MouseMoved(BPoint /*where*/, uint32 /*transit*/, const BMessage* /*dragMessage*/) { }

void BView::KeyDown(const char* bytes, int32 numBytes)
{
    // Tab moves the focus on to the next view that takes it (with Shift, back
    // to the previous one); views that use Tab themselves do not pass it on.
    // Other keys go on to the next handler (the parent, then the window), so
    // that the window hears of keys no view wanted.
    if (fWindow == nullptr || bytes == nullptr)
        return;
    BMessage* current = fWindow->CurrentMessage();
    int32 modifiers = 0;
    if (current != nullptr)
        current->FindInt32("modifiers", &modifiers);
    if (numBytes == 1 && bytes[0] == B_TAB) {
        if ((modifiers & (B_COMMAND_KEY | B_OPTION_KEY)) == 0)
            fWindow->NavigateFocus(
                (modifiers & B_SHIFT_KEY) == 0, (modifiers & B_CONTROL_KEY) != 0);
        return;
    }
    if (current != nullptr && current->what == B_KEY_DOWN && NextHandler() != nullptr)
        NextHandler()->MessageReceived(current);
}

void BView::KeyUp(const char* /*bytes*/, int32 /*numBytes*/) { }

void BView::Pulse() { }

void BView::FrameMoved(BPoint /*newPosition*/) { }

void BView::FrameResized(float /*newWidth*/, float /*newHeight*/) { }

void BView::TargetedByScrollView(BScrollView* /*scrollView*/) { }

void BView::WindowActivated(bool /*active*/) { }

void BView::MessageReceived(BMessage* message)
{
    if (message->what == B_MOUSE_WHEEL_CHANGED) {
        // The wheel scrolls the view by its scroll bars, three small steps a
        // notch; a view without bars passes it on to its parent.
        float deltaX = 0;
        float deltaY = 0;
        message->FindFloat("be:wheel_delta_x", &deltaX);
        message->FindFloat("be:wheel_delta_y", &deltaY);
        BScrollBar* bar = fVerticalScrollBar;
        float delta = deltaY;
        if (bar == nullptr || (deltaY == 0 && deltaX != 0)) {
            bar = fHorizontalScrollBar;
            delta = deltaX != 0 ? deltaX : deltaY;
        }
        if (bar != nullptr) {
            float smallStep = 0;
            bar->GetSteps(&smallStep, nullptr);
            bar->SetValue(bar->Value() + delta * smallStep * 3);
            return;
        }
    }
    BHandler::MessageReceived(message);
}

// #pragma mark - the tree

void BView::AddChild(BView* child, BView* before)
{
    if (child == nullptr || child == this)
        return;
    if (child->fParent != nullptr || child->fWindow != nullptr) {
        std::fprintf(stderr, "BView::AddChild: view \"%s\" already has a parent\n",
            child->Name() != nullptr ? child->Name() : "");
        return;
    }
    auto position = std::find(fChildren.begin(), fChildren.end(), before);
    fChildren.insert(position, child);
    child->fParent = this;
    child->SetNextHandler(this);
    if (fWindow == nullptr)
        return;
    child->AttachTo(fWindow);
    child->CallAttachedHooks();
    fWindow->GeometryChanged();
    fWindow->UpdatePulseNeeds();
    child->Invalidate();
}

bool BView::RemoveChild(BView* child)
{
    if (child == nullptr || child->fParent != this)
        return false;
    if (fWindow != nullptr) {
        if (!child->IsHidden(child))
            Invalidate(child->Frame());
        child->CallDetachedHooks();
        child->DetachFromWindow();
    }
    std::erase(fChildren, child);
    child->fParent = nullptr;
    child->SetNextHandler(nullptr);
    return true;
}

bool BView::RemoveSelf()
{
    if (fParent != nullptr)
        return fParent->RemoveChild(this);
    if (fWindow != nullptr) {
        // Only a window's top view has a window but no parent.
        return false;
    }
    return false;
}

int32 BView::CountChildren() const
{
    return int32(fChildren.size());
}

BView* BView::ChildAt(int32 index) const
{
    if (index < 0 || index >= int32(fChildren.size()))
        return nullptr;
    return fChildren[size_t(index)];
}

BView* BView::NextSibling() const
{
    if (fParent == nullptr)
        return nullptr;
    const std::vector<BView*>& siblings = fParent->fChildren;
    auto found = std::find(siblings.begin(), siblings.end(), this);
    if (found == siblings.end() || found + 1 == siblings.end())
        return nullptr;
    return *(found + 1);
}

BView* BView::PreviousSibling() const
{
    if (fParent == nullptr)
        return nullptr;
    const std::vector<BView*>& siblings = fParent->fChildren;
    auto found = std::find(siblings.begin(), siblings.end(), this);
    if (found == siblings.end() || found == siblings.begin())
        return nullptr;
    return *(found - 1);
}

BView* BView::Parent() const
{
    if (fParent != nullptr && fParent->IsTopView())
        return nullptr;
    return fParent;
}

BWindow* BView::Window() const
{
    return fWindow;
}

BView* BView::FindView(const char* name) const
{
    if (name == nullptr)
        return nullptr;
    for (BView* child : fChildren) {
        if (child->Name() != nullptr && std::strcmp(child->Name(), name) == 0)
            return child;
        if (BView* found = child->FindView(name))
            return found;
    }
    return nullptr;
}

bool BView::IsTopView() const
{
    return fWindow != nullptr && fParent == nullptr && fWindow->fTopView.get() == this;
}

void BView::AttachTo(BWindow* window)
{
    fWindow = window;
    window->AddHandler(this);
    if (fParent == nullptr)
        SetNextHandler(window);
    MakeContext();
    for (BView* child : fChildren)
        child->AttachTo(window);
}

void BView::DetachFromWindow()
{
    for (BView* child : fChildren)
        child->DetachFromWindow();
    if (fWindow == nullptr)
        return;
    fWindow->ViewDetached(this);
    DropContext();
    fWindow->RemoveHandler(this);
    if (fParent != nullptr)
        SetNextHandler(fParent);
    fWindow = nullptr;
}

void BView::CallAttachedHooks()
{
    AttachedToWindow();
    // A hook may add or remove children; walk a copy.
    std::vector<BView*> children = fChildren;
    for (BView* child : children) {
        if (child->fParent == this)
            child->CallAttachedHooks();
    }
    AllAttached();
}

void BView::CallDetachedHooks()
{
    DetachedFromWindow();
    std::vector<BView*> children = fChildren;
    for (BView* child : children) {
        if (child->fParent == this)
            child->CallDetachedHooks();
    }
    AllDetached();
}

// #pragma mark - geometry

BRect BView::Frame() const
{
    return fFrame;
}

BRect BView::Bounds() const
{
    return BRect(fScrollOrigin.x, fScrollOrigin.y, fScrollOrigin.x + fFrame.Width(),
        fScrollOrigin.y + fFrame.Height());
}

BPoint BView::OffsetInWindow() const
{
    BPoint offset = fFrame.LeftTop() - fScrollOrigin;
    for (const BView* parent = fParent; parent != nullptr; parent = parent->fParent)
        offset += parent->fFrame.LeftTop() - parent->fScrollOrigin;
    return offset;
}

void BView::MoveBy(float dx, float dy)
{
    MoveTo(fFrame.left + dx, fFrame.top + dy);
}

void BView::MoveTo(BPoint where)
{
    MoveTo(where.x, where.y);
}

void BView::MoveTo(float x, float y)
{
    if (x == fFrame.left && y == fFrame.top)
        return;
    bool visible = fWindow != nullptr && fParent != nullptr && !IsHidden(this);
    if (visible)
        fParent->Invalidate(fFrame);
    fFrame.OffsetTo(x, y);
    if (fWindow != nullptr)
        fWindow->GeometryChanged();
    if (visible)
        fParent->Invalidate(fFrame);
    NotifyFrameChange(true, false);
}

void BView::ResizeBy(float dx, float dy)
{
    ResizeTo(fFrame.Width() + dx, fFrame.Height() + dy);
}

void BView::ResizeTo(float width, float height)
{
    if (width == fFrame.Width() && height == fFrame.Height())
        return;
    float dx = width - fFrame.Width();
    float dy = height - fFrame.Height();
    bool visible = fWindow != nullptr && fParent != nullptr && !IsHidden(this);
    if (visible)
        fParent->Invalidate(fFrame);
    fFrame.right = fFrame.left + width;
    fFrame.bottom = fFrame.top + height;
    for (BView* child : fChildren)
        child->ParentResized(dx, dy);
    if (fWindow != nullptr)
        fWindow->GeometryChanged();
    if (visible)
        fParent->Invalidate(fFrame);
    NotifyFrameChange(false, true);
}

void BView::ParentResized(float dx, float dy)
{
    // Each edge follows the parent's edge its rule names: the far edges
    // (right, bottom) move with the parent's growth, the centre by half of it.
    auto follow = [](uint32 rule, float delta) -> float {
        if (rule == _VIEW_RIGHT_ || rule == _VIEW_BOTTOM_)
            return delta;
        if (rule == _VIEW_CENTER_)
            return delta / 2;
        return 0;
    };
    BRect old = fFrame;
    fFrame.top += follow((fResizingMode >> 12) & 0xf, dy);
    fFrame.left += follow((fResizingMode >> 8) & 0xf, dx);
    fFrame.bottom += follow((fResizingMode >> 4) & 0xf, dy);
    fFrame.right += follow(fResizingMode & 0xf, dx);
    bool moved = fFrame.LeftTop() != old.LeftTop();
    float childDx = fFrame.Width() - old.Width();
    float childDy = fFrame.Height() - old.Height();
    bool resized = childDx != 0 || childDy != 0;
    if (resized) {
        for (BView* child : fChildren)
            child->ParentResized(childDx, childDy);
    }
    if (moved || resized)
        NotifyFrameChange(moved, resized);
}

void BView::NotifyFrameChange(bool moved, bool resized)
{
    if (resized && fWindow != nullptr)
        Invalidate();
    if ((fFlags & B_FRAME_EVENTS) == 0)
        return;
    if (moved)
        FrameMoved(fFrame.LeftTop());
    if (resized)
        FrameResized(fFrame.Width(), fFrame.Height());
}

void BView::GetPreferredSize(float* width, float* height)
{
    if (width != nullptr)
        *width = fFrame.Width();
    if (height != nullptr)
        *height = fFrame.Height();
}

void BView::ResizeToPreferred()
{
    float width = fFrame.Width();
    float height = fFrame.Height();
    GetPreferredSize(&width, &height);
    ResizeTo(width, height);
}

void BView::ScrollBy(float dx, float dy)
{
    ScrollTo(BPoint(fScrollOrigin.x + dx, fScrollOrigin.y + dy));
}

void BView::ScrollTo(float x, float y)
{
    ScrollTo(BPoint(x, y));
}

void BView::ScrollTo(BPoint where)
{
    if (where == fScrollOrigin)
        return;
    fScrollOrigin = where;
    if (fWindow != nullptr) {
        fWindow->GeometryChanged();
        Invalidate();
    }
    if (fHorizontalScrollBar != nullptr)
        fHorizontalScrollBar->SetValue(where.x);
    if (fVerticalScrollBar != nullptr)
        fVerticalScrollBar->SetValue(where.y);
}

BScrollBar* BView::ScrollBar(orientation direction) const
{
    return direction == B_HORIZONTAL ? fHorizontalScrollBar : fVerticalScrollBar;
}

// #pragma mark - coordinates

void BView::ConvertToParent(BPoint* point) const
{
    *point += fFrame.LeftTop() - fScrollOrigin;
}

BPoint BView::ConvertToParent(BPoint point) const
{
    ConvertToParent(&point);
    return point;
}

void BView::ConvertToParent(BRect* rect) const
{
    rect->OffsetBy(fFrame.LeftTop() - fScrollOrigin);
}

BRect BView::ConvertToParent(BRect rect) const
{
    ConvertToParent(&rect);
    return rect;
}

void BView::ConvertFromParent(BPoint* point) const
{
    *point -= fFrame.LeftTop() - fScrollOrigin;
}

BPoint BView::ConvertFromParent(BPoint point) const
{
    ConvertFromParent(&point);
    return point;
}

void BView::ConvertFromParent(BRect* rect) const
{
    rect->OffsetBy(fScrollOrigin - fFrame.LeftTop());
}

BRect BView::ConvertFromParent(BRect rect) const
{
    ConvertFromParent(&rect);
    return rect;
}

void BView::ConvertToScreen(BPoint* point) const
{
    *point += OffsetInWindow();
    if (fWindow != nullptr)
        fWindow->ConvertToScreen(point);
}

BPoint BView::ConvertToScreen(BPoint point) const
{
    ConvertToScreen(&point);
    return point;
}

void BView::ConvertToScreen(BRect* rect) const
{
    BPoint offset = ConvertToScreen(B_ORIGIN);
    rect->OffsetBy(offset);
}

BRect BView::ConvertToScreen(BRect rect) const
{
    ConvertToScreen(&rect);
    return rect;
}

void BView::ConvertFromScreen(BPoint* point) const
{
    BPoint offset = ConvertToScreen(B_ORIGIN);
    *point -= offset;
}

BPoint BView::ConvertFromScreen(BPoint point) const
{
    ConvertFromScreen(&point);
    return point;
}

void BView::ConvertFromScreen(BRect* rect) const
{
    BPoint offset = ConvertToScreen(B_ORIGIN);
    rect->OffsetBy(-offset);
}

BRect BView::ConvertFromScreen(BRect rect) const
{
    ConvertFromScreen(&rect);
    return rect;
}

// #pragma mark - flags and visibility

void BView::SetFlags(uint32 flags)
{
    uint32 old = fFlags;
    fFlags = flags;
    if (fWindow != nullptr && ((old ^ flags) & B_PULSE_NEEDED) != 0)
        fWindow->UpdatePulseNeeds();
    if (fWindow != nullptr && ((old ^ flags) & B_WILL_DRAW) != 0)
        Invalidate();
}

uint32 BView::Flags() const
{
    return fFlags;
}

void BView::SetResizingMode(uint32 mode)
{
    fResizingMode = mode;
}

uint32 BView::ResizingMode() const
{
    return fResizingMode;
}

void BView::Show()
{
    fShowLevel--;
    if (fShowLevel == 0 && fWindow != nullptr) {
        fWindow->GeometryChanged();
        Invalidate();
    }
}

void BView::Hide()
{
    if (fShowLevel == 0 && fWindow != nullptr && fParent != nullptr && !IsHidden(this))
        fParent->Invalidate(fFrame);
    fShowLevel++;
    if (fShowLevel == 1 && fWindow != nullptr) {
        fWindow->GeometryChanged();
        // Hidden views cannot keep the focus.
        BView* focus = fWindow->CurrentFocus();
        for (BView* view = focus; view != nullptr; view = view->fParent) {
            if (view == this) {
                focus->MakeFocus(false);
                break;
            }
        }
    }
}

bool BView::IsHidden() const
{
    return IsHidden(nullptr);
}

bool BView::IsHidden(const BView* lookingFrom) const
{
    if (fShowLevel > 0)
        return true;
    if (lookingFrom == this)
        return false;
    if (fParent != nullptr)
        return fParent->IsHidden(lookingFrom);
    if (fWindow != nullptr && lookingFrom == nullptr)
        return fWindow->IsHidden();
    return false;
}

// #pragma mark - focus

void BView::MakeFocus(bool focused)
{
    if (fWindow == nullptr)
        return;
    BView* current = fWindow->CurrentFocus();
    if (focused) {
        if (current == this)
            return;
        if (current != nullptr)
            current->MakeFocus(false);
        fWindow->SetFocus(this);
    } else if (current == this) {
        fWindow->SetFocus(nullptr);
    }
}

bool BView::IsFocus() const
{
    return fWindow != nullptr && fWindow->CurrentFocus() == this;
}

// #pragma mark - the mouse

void BView::GetMouse(BPoint* location, uint32* buttons, bool checkMessageQueue)
{
    if (fWindow == nullptr) {
        if (location != nullptr)
            *location = B_ORIGIN;
        if (buttons != nullptr)
            *buttons = 0;
        return;
    }
    BWindow::MouseState state;
    bool onWindowThread = find_thread(nullptr) == fWindow->Thread();
    if (onWindowThread && checkMessageQueue) {
        // In a drag loop on the window's thread, events that have not been
        // handled yet are read ahead (and then not delivered again), so the
        // loop sees every move and the release.
        fWindow->UpdateIfNeeded();
        if (!fWindow->ReadAheadMouse(&state))
            state = fWindow->LatestMouse();
    } else {
        state = fWindow->LatestMouse();
    }
    if (location != nullptr)
        *location = state.where - OffsetInWindow();
    if (buttons != nullptr)
        *buttons = state.buttons;
}

status_t BView::SetMouseEventMask(uint32 mask, uint32 options)
{
    if (fWindow == nullptr)
        return B_ERROR;
    if ((mask & B_POINTER_EVENTS) != 0) {
        fWindow->fMouseEventView = this;
        fWindow->fMouseEventOptions = options;
    }
    return B_OK;
}

status_t BView::SetEventMask(uint32 mask, uint32 options)
{
    fEventMask = mask;
    fEventOptions = options;
    return B_OK;
}

uint32 BView::EventMask()
{
    return fEventMask;
}
