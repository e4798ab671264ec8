// BWindow: construction, the looper's life, geometry, visibility and the
// window's settings. Input dispatching is in WindowDispatch.cpp, drawing in
// WindowUpdate.cpp, the pending input record in WindowInput.cpp and the
// keyboard shortcuts in WindowShortcuts.cpp.

#include <Window.h>

#include <Application.h>
#include <Button.h>
#include <View.h>

#include <RenderSurface.h>

#include "Desktop.h"
#include "Geometry.h"
#include "MenuTracker.h"
#include "TopView.h"
#include "UIDriver.h"
#include "WindowLink.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

BWindow::BWindow(BRect frame, const char* title, window_type type, uint32 flags, uint32 workspace)
    : BLooper(title)
    , fDirty(std::make_unique<BPrivate::ClipRegion>())
    , fPendingPresent(std::make_unique<BPrivate::ClipRegion>())
{
    window_look look;
    window_feel feel;
    DecomposeType(type, &look, &feel);
    InitWindow(frame, title, look, feel, flags, workspace);
}

BWindow::BWindow(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
    uint32 workspace)
    : BLooper(title)
    , fDirty(std::make_unique<BPrivate::ClipRegion>())
    , fPendingPresent(std::make_unique<BPrivate::ClipRegion>())
{
    InitWindow(frame, title, look, feel, flags, workspace);
}

BWindow::BWindow(OffscreenTag, BRect bounds, std::unique_ptr<BPrivate::RenderSurface> surface)
    : BLooper("offscreen")
    , fTitle("offscreen")
    , fFrame(bounds)
    , fLook(B_NO_BORDER_WINDOW_LOOK)
    , fFeel(B_NORMAL_WINDOW_FEEL)
    , fFlags(0)
    , fWorkspaces(0)
    , fOffscreen(true)
    , fDirty(std::make_unique<BPrivate::ClipRegion>())
    , fPendingPresent(std::make_unique<BPrivate::ClipRegion>())
{
    fLink = std::make_unique<BPrivate::WindowLink>(this, std::move(surface));
    fTopView = std::make_unique<BPrivate::TopView>(BPrivate::MovedRect(bounds, B_ORIGIN));
    fTopView->AttachTo(this);
}

void BWindow::InitWindow(BRect frame, const char* title, window_look look, window_feel feel,
    uint32 flags, uint32 workspace)
{
    fTitle = title != nullptr ? title : "";
    fFrame = frame;
    fLook = look;
    fFeel = feel;
    fFlags = flags;
    fWorkspaces = workspace == B_CURRENT_WORKSPACE ? 1u << current_workspace() : workspace;
    MarkAsWindow();

    fLink = std::make_unique<BPrivate::WindowLink>(this, frame, fTitle.c_str(), look, feel, flags);
    fTopView = std::make_unique<BPrivate::TopView>(BRect(0, 0, frame.Width(), frame.Height()));
    fTopView->AttachTo(this);
    BPrivate::Desktop::Default().WindowMade(this);
    AddDefaultShortcuts();
    BPrivate::UIDriver::StartIfRequested();
}

BWindow::~BWindow()
{
    fMenuTracker.reset();
    if (fTopView != nullptr) {
        fTopView->CallDetachedHooks();
        fTopView->DetachFromWindow();
        fTopView.reset();
    }
    fLink.reset();
}

void BWindow::DecomposeType(window_type type, window_look* look, window_feel* feel)
{
    switch (type) {
    case B_DOCUMENT_WINDOW:
        *look = B_DOCUMENT_WINDOW_LOOK;
        *feel = B_NORMAL_WINDOW_FEEL;
        break;
    case B_MODAL_WINDOW:
        *look = B_MODAL_WINDOW_LOOK;
        *feel = B_MODAL_APP_WINDOW_FEEL;
        break;
    case B_FLOATING_WINDOW:
        *look = B_FLOATING_WINDOW_LOOK;
        *feel = B_FLOATING_APP_WINDOW_FEEL;
        break;
    case B_BORDERED_WINDOW:
        *look = B_BORDERED_WINDOW_LOOK;
        *feel = B_NORMAL_WINDOW_FEEL;
        break;
    case B_TITLED_WINDOW:
    case B_UNTYPED_WINDOW:
    default:
        *look = B_TITLED_WINDOW_LOOK;
        *feel = B_NORMAL_WINDOW_FEEL;
        break;
    }
}

// #pragma mark - the looper

thread_id BWindow::Run()
{
    if (fOffscreen)
        return B_NOT_ALLOWED;
    return BLooper::Run();
}

void BWindow::LoopStarted()
{
    std::string threadName = "w>" + fTitle;
    rename_thread(Thread(), threadName.c_str());
    if (!fDirty->IsEmpty())
        RequestUpdate();
}

void BWindow::Quit()
{
    if (!IsLocked())
        Lock();
    if (fMenuTracker != nullptr) {
        fMenuTracker->Dismiss();
        RetireMenuTracker();
    }
    if ((fFlags & B_QUIT_ON_WINDOW_CLOSE) != 0 && be_app != nullptr)
        be_app->PostMessage(B_QUIT_REQUESTED);
    if (fShowLevel <= 0 && !fOffscreen) {
        fShowLevel = 1;
        fLink->Hide();
    }
    BLooper::Quit();
}

bool BWindow::QuitRequested()
{
    return BLooper::QuitRequested();
}

void BWindow::DispatchPulse()
{
    std::vector<BView*> views;
    std::function<void(BView*)> collect = [&](BView* view) {
        if ((view->Flags() & B_PULSE_NEEDED) != 0)
            views.push_back(view);
        for (BView* child : view->fChildren)
            collect(child);
    };
    collect(fTopView.get());
    for (BView* view : views) {
        // A pulse may remove later views from the window.
        if (view->Window() == this)
            view->Pulse();
    }
    PresentPending();
}

void BWindow::SetPulseRate(bigtime_t rate)
{
    fPulseRate = rate > 0 ? rate : 0;
    UpdatePulseNeeds();
}

bigtime_t BWindow::PulseRate() const
{
    return fPulseRate;
}

void BWindow::UpdatePulseNeeds()
{
    std::function<bool(const BView*)> needs = [&](const BView* view) {
        if ((view->Flags() & B_PULSE_NEEDED) != 0)
            return true;
        return std::any_of(view->fChildren.begin(), view->fChildren.end(), needs);
    };
    bigtime_t interval
        = fPulseRate > 0 && fTopView != nullptr && needs(fTopView.get()) ? fPulseRate : 0;
    if (interval != PulseInterval())
        SetPulseInterval(interval);
}

// #pragma mark - the view tree

void BWindow::AddChild(BView* child, BView* before)
{
    if (before == nullptr) {
        // Views added while a menu is up go beneath it.
        for (int32 i = 0; i < fTopView->CountChildren(); i++) {
            if (fTopView->IsOverlay(fTopView->ChildAt(i))) {
                before = fTopView->ChildAt(i);
                break;
            }
        }
    }
    fTopView->AddChild(child, before);
}

bool BWindow::RemoveChild(BView* child)
{
    return fTopView->RemoveChild(child);
}

int32 BWindow::CountChildren() const
{
    return fTopView->CountRegularChildren();
}

BView* BWindow::ChildAt(int32 index) const
{
    return fTopView->RegularChildAt(index);
}

BView* BWindow::FindView(const char* viewName) const
{
    return fTopView->FindView(viewName);
}

BView* BWindow::FindView(BPoint point) const
{
    BView* view = ViewAt(point);
    return view == fTopView.get() ? nullptr : view;
}

BView* BWindow::CurrentFocus() const
{
    return fFocus;
}

BView* BWindow::LastMouseMovedView() const
{
    return fLastMouseMovedView;
}

// #pragma mark - hooks

void BWindow::FrameMoved(BPoint /*newPosition*/) { }

void BWindow::FrameResized(float /*newWidth*/, float /*newHeight*/) { }

void BWindow::WorkspacesChanged(uint32 /*oldWorkspaces*/, uint32 /*newWorkspaces*/) { }

void BWindow::WorkspaceActivated(int32 /*workspace*/, bool /*state*/) { }

void BWindow::Minimize(bool minimize)
{
    if ((fFlags & B_NOT_MINIMIZABLE) != 0 || minimize == fMinimized)
        return;
    fMinimized = minimize;
    if (minimize)
        Hide();
    else
        Show();
}

void BWindow::Zoom(BPoint origin, float width, float height)
{
    MoveTo(origin);
    ResizeTo(width, height);
}

void BWindow::Zoom()
{
    if ((fFlags & B_NOT_ZOOMABLE) != 0)
        return;
    if (fZoomed) {
        fZoomed = false;
        Zoom(fPreviousZoomFrame.LeftTop(), fPreviousZoomFrame.Width(), fPreviousZoomFrame.Height());
        return;
    }
    // The largest frame that fits on the screen with room for the title tab
    // and the border, within the window's size and zoom limits.
    BRect screen = BPrivate::Desktop::Default().ScreenFrame();
    float width = std::min({ screen.Width() - 10, fMaxZoomWidth, fMaxWidth });
    float height = std::min({ screen.Height() - 30, fMaxZoomHeight, fMaxHeight });
    fPreviousZoomFrame = fFrame;
    fZoomed = true;
    Zoom(BPoint(screen.left + 5, screen.top + 25), width, height);
}

void BWindow::SetZoomLimits(float maxWidth, float maxHeight)
{
    fMaxZoomWidth = maxWidth;
    fMaxZoomHeight = maxHeight;
}

void BWindow::ScreenChanged(BRect /*screenSize*/, color_space /*depth*/) { }

void BWindow::WindowActivated(bool /*active*/) { }

void BWindow::MenusBeginning() { }

void BWindow::MenusEnded() { }

// #pragma mark - activation and order

void BWindow::Activate(bool active)
{
    if (fOffscreen)
        return;
    // The desktop decides which window is active; a window cannot give the
    // activation away, only ask for it.
    if (!active || IsHidden())
        return;
    fLink->Activate();
}

bool BWindow::IsActive() const
{
    return fLink->IsActive();
}

bool BWindow::IsFront() const
{
    return BPrivate::Desktop::Default().IsFront(this);
}

status_t BWindow::SendBehind(const BWindow* window)
{
    if (IsHidden())
        return B_ERROR;
    BPrivate::Desktop::Default().SendBehind(this, const_cast<BWindow*>(window));
    return B_OK;
}

// #pragma mark - coordinates and geometry

void BWindow::ConvertToScreen(BPoint* point) const
{
    *point += fFrame.LeftTop();
}

BPoint BWindow::ConvertToScreen(BPoint point) const
{
    return point + fFrame.LeftTop();
}

void BWindow::ConvertFromScreen(BPoint* point) const
{
    *point -= fFrame.LeftTop();
}

BPoint BWindow::ConvertFromScreen(BPoint point) const
{
    return point - fFrame.LeftTop();
}

void BWindow::ConvertToScreen(BRect* rect) const
{
    rect->OffsetBy(fFrame.LeftTop());
}

BRect BWindow::ConvertToScreen(BRect rect) const
{
    return BPrivate::OffsetRect(rect, fFrame.LeftTop());
}

void BWindow::ConvertFromScreen(BRect* rect) const
{
    rect->OffsetBy(-fFrame.LeftTop());
}

BRect BWindow::ConvertFromScreen(BRect rect) const
{
    return BPrivate::OffsetRect(rect, -fFrame.LeftTop());
}

void BWindow::MoveBy(float dx, float dy)
{
    MoveTo(fFrame.left + dx, fFrame.top + dy);
}

void BWindow::MoveTo(BPoint where)
{
    MoveTo(where.x, where.y);
}

void BWindow::MoveTo(float x, float y)
{
    x = std::round(x);
    y = std::round(y);
    if (x == fFrame.left && y == fFrame.top)
        return;
    fFrame.OffsetTo(x, y);
    fLink->SetFrame(fFrame);
    if (WasRunCalled() && !fOffscreen) {
        BMessage moved(B_WINDOW_MOVED);
        moved.AddPoint("where", fFrame.LeftTop());
        moved.AddBool("_brenvik:applied", true);
        BMessenger(this).SendMessage(&moved, static_cast<BHandler*>(nullptr), 0);
    }
}

void BWindow::ResizeBy(float dx, float dy)
{
    ResizeTo(fFrame.Width() + dx, fFrame.Height() + dy);
}

void BWindow::ResizeTo(float width, float height)
{
    width = std::round(std::clamp(width, fMinWidth, std::max(fMinWidth, fMaxWidth)));
    height = std::round(std::clamp(height, fMinHeight, std::max(fMinHeight, fMaxHeight)));
    if (width == fFrame.Width() && height == fFrame.Height())
        return;
    fFrame.right = fFrame.left + width;
    fFrame.bottom = fFrame.top + height;
    fLink->SetFrame(fFrame);
    ResizeBackingStore();
    fTopView->ResizeTo(width, height);
    InvalidateWindowRect(BPrivate::ClipRegion(Bounds()));
    if (WasRunCalled() && !fOffscreen) {
        BMessage resized(B_WINDOW_RESIZED);
        resized.AddInt32("width", int32(width));
        resized.AddInt32("height", int32(height));
        resized.AddBool("_brenvik:applied", true);
        BMessenger(this).SendMessage(&resized, static_cast<BHandler*>(nullptr), 0);
    }
}

void BWindow::ResizeBackingStore()
{
    int32 width = int32(std::lround(fFrame.Width())) + 1;
    int32 height = int32(std::lround(fFrame.Height())) + 1;
    // The display resizes the store under its own lock.
    fLink->ResizeSurface(std::max<int32>(width, 1), std::max<int32>(height, 1));
    BPrivate::WindowLink::SurfaceGuard guard(fLink.get());
    fTopView->RebuildContexts();
    GeometryChanged();
}

void BWindow::CenterOnScreen()
{
    BRect screen = BPrivate::Desktop::Default().ScreenFrame();
    MoveTo(screen.left + (screen.Width() - fFrame.Width()) / 2,
        screen.top + (screen.Height() - fFrame.Height()) / 2);
}

BRect BWindow::Bounds() const
{
    return BRect(0, 0, fFrame.Width(), fFrame.Height());
}

BRect BWindow::Frame() const
{
    return fFrame;
}

void BWindow::SetSizeLimits(float minWidth, float maxWidth, float minHeight, float maxHeight)
{
    fMinWidth = std::max(0.0f, minWidth);
    fMaxWidth = std::max(fMinWidth, maxWidth);
    fMinHeight = std::max(0.0f, minHeight);
    fMaxHeight = std::max(fMinHeight, maxHeight);
    ResizeTo(fFrame.Width(), fFrame.Height());
}

void BWindow::GetSizeLimits(float* minWidth, float* maxWidth, float* minHeight, float* maxHeight)
{
    if (minWidth != nullptr)
        *minWidth = fMinWidth;
    if (maxWidth != nullptr)
        *maxWidth = fMaxWidth;
    if (minHeight != nullptr)
        *minHeight = fMinHeight;
    if (maxHeight != nullptr)
        *maxHeight = fMaxHeight;
}

// #pragma mark - visibility

void BWindow::Show()
{
    if (fOffscreen)
        return;
    Lock();
    fShowLevel--;
    if (fShowLevel == 0) {
        fLink->Show();
        GeometryChanged();
        fDirty->Include(BPrivate::ClipRegion(Bounds()));
        if (!WasRunCalled())
            Run();
        RequestUpdate();
    }
    Unlock();
}

void BWindow::Hide()
{
    if (fOffscreen)
        return;
    Lock();
    fShowLevel++;
    if (fShowLevel == 1) {
        if (fMenuTracker != nullptr) {
            fMenuTracker->Dismiss();
            RetireMenuTracker();
        }
        fLink->Hide();
        GeometryChanged();
        fMouseEventView = nullptr;
    }
    Unlock();
}

bool BWindow::IsHidden() const
{
    return !fOffscreen && fShowLevel > 0;
}

bool BWindow::IsMinimized() const
{
    return fMinimized;
}

// #pragma mark - settings

const char* BWindow::Title() const
{
    return fTitle.c_str();
}

void BWindow::SetTitle(const char* title)
{
    fTitle = title != nullptr ? title : "";
    SetName(fTitle.c_str());
    fLink->SetTitle(fTitle.c_str());
    if (Thread() >= 0) {
        std::string threadName = "w>" + fTitle;
        rename_thread(Thread(), threadName.c_str());
    }
}

void BWindow::SetKeyMenuBar(BMenuBar* bar)
{
    fKeyMenuBar = bar;
}

BMenuBar* BWindow::KeyMenuBar() const
{
    return fKeyMenuBar;
}

uint32 BWindow::Workspaces() const
{
    return fWorkspaces;
}

void BWindow::SetWorkspaces(uint32 workspaces)
{
    if (workspaces == B_CURRENT_WORKSPACE)
        workspaces = 1u << current_workspace();
    uint32 old = fWorkspaces;
    fWorkspaces = workspaces;
    if (old != workspaces)
        WorkspacesChanged(old, workspaces);
}

status_t BWindow::SetType(window_type type)
{
    window_look look;
    window_feel feel;
    DecomposeType(type, &look, &feel);
    SetLook(look);
    return SetFeel(feel);
}

window_type BWindow::Type() const
{
    if (fLook == B_TITLED_WINDOW_LOOK && fFeel == B_NORMAL_WINDOW_FEEL)
        return B_TITLED_WINDOW;
    if (fLook == B_DOCUMENT_WINDOW_LOOK && fFeel == B_NORMAL_WINDOW_FEEL)
        return B_DOCUMENT_WINDOW;
    if (fLook == B_MODAL_WINDOW_LOOK && fFeel == B_MODAL_APP_WINDOW_FEEL)
        return B_MODAL_WINDOW;
    if (fLook == B_FLOATING_WINDOW_LOOK && fFeel == B_FLOATING_APP_WINDOW_FEEL)
        return B_FLOATING_WINDOW;
    if (fLook == B_BORDERED_WINDOW_LOOK && fFeel == B_NORMAL_WINDOW_FEEL)
        return B_BORDERED_WINDOW;
    return B_UNTYPED_WINDOW;
}

status_t BWindow::SetLook(window_look look)
{
    fLook = look;
    fLink->SetLookAndFeel(fLook, fFeel, fFlags);
    return B_OK;
}

window_look BWindow::Look() const
{
    return fLook;
}

status_t BWindow::SetFeel(window_feel feel)
{
    fFeel = feel;
    fLink->SetLookAndFeel(fLook, fFeel, fFlags);
    return B_OK;
}

window_feel BWindow::Feel() const
{
    return fFeel;
}

status_t BWindow::SetFlags(uint32 flags)
{
    fFlags = flags;
    fLink->SetLookAndFeel(fLook, fFeel, fFlags);
    return B_OK;
}

uint32 BWindow::Flags() const
{
    return fFlags;
}

bool BWindow::IsModal() const
{
    return fFeel == B_MODAL_SUBSET_WINDOW_FEEL || fFeel == B_MODAL_APP_WINDOW_FEEL
        || fFeel == B_MODAL_ALL_WINDOW_FEEL;
}

bool BWindow::IsFloating() const
{
    return fFeel == B_FLOATING_SUBSET_WINDOW_FEEL || fFeel == B_FLOATING_APP_WINDOW_FEEL
        || fFeel == B_FLOATING_ALL_WINDOW_FEEL;
}

status_t BWindow::AddToSubset(BWindow* window)
{
    if (window == nullptr
        || (fFeel != B_MODAL_SUBSET_WINDOW_FEEL && fFeel != B_FLOATING_SUBSET_WINDOW_FEEL))
        return B_BAD_VALUE;
    if (std::find(fSubset.begin(), fSubset.end(), window) == fSubset.end())
        fSubset.push_back(window);
    fLink->SetSubset(fSubset);
    return B_OK;
}

status_t BWindow::RemoveFromSubset(BWindow* window)
{
    auto found = std::find(fSubset.begin(), fSubset.end(), window);
    if (found == fSubset.end())
        return B_BAD_VALUE;
    fSubset.erase(found);
    fLink->SetSubset(fSubset);
    return B_OK;
}

// #pragma mark - free functions of InterfaceDefs.h

int32 count_workspaces()
{
    return 1;
}

int32 current_workspace()
{
    return 0;
}

void activate_workspace(int32 /*workspace*/) { }

uint32 modifiers()
{
    return BPrivate::Desktop::Default().Modifiers();
}

status_t get_click_speed(bigtime_t* speed)
{
    if (speed == nullptr)
        return B_BAD_VALUE;
    *speed = 500000;
    return B_OK;
}
