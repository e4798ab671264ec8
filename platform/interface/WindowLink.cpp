#include "WindowLink.h"

#include "Desktop.h"
#include "WindowPrivate.h"

#include <DisplayBackend.h>
#include <InterfaceDefs.h>
#include <Messenger.h>

#include <cmath>

namespace BPrivate {

WindowLink::WindowLink(BWindow* window, BRect frame, const char* title, window_look look,
    window_feel feel, uint32 flags)
    : fWindow(window)
    , fFeel(feel)
    , fFlags(flags)
{
    DisplayWindowSpec spec;
    spec.frame = frame;
    spec.title = title != nullptr ? title : "";
    spec.flags = DisplayFlags(look, feel, flags);
    fDisplayWindow = DisplayBackend::Default().CreateWindow(spec);
    Desktop::Default().WatchAppEvents();

    // The display wakes the window when events come; the window takes them
    // on its own thread. One wake message at a time is enough.
    BMessenger messenger(window);
    fDisplayWindow->Events().SetNotifier([this, messenger] {
        if (fWakePending.exchange(true))
            return;
        BMessage wake(kMsgDisplayEvents);
        if (messenger.SendMessage(&wake, static_cast<BHandler*>(nullptr), 0) != B_OK)
            fWakePending = false;
    });
}

WindowLink::WindowLink(BWindow* window, std::unique_ptr<RenderSurface> surface)
    : fWindow(window)
    , fOwnSurface(std::move(surface))
    , fFeel(B_NORMAL_WINDOW_FEEL)
    , fFlags(0)
    , fOffscreen(true)
{
}

WindowLink::~WindowLink()
{
    if (fOffscreen)
        return;
    Desktop::Default().WindowGone(fWindow);
    fDisplayWindow->Events().SetNotifier(nullptr);
    fDisplayWindow->Close();
}

uint32 WindowLink::DisplayFlags(window_look look, window_feel feel, uint32 flags)
{
    uint32 result = 0;
    if (look == B_NO_BORDER_WINDOW_LOOK || look == B_BORDERED_WINDOW_LOOK)
        result |= kWindowBorderless;
    bool fixed = (flags & B_NOT_RESIZABLE) != 0
        || ((flags & B_NOT_H_RESIZABLE) != 0 && (flags & B_NOT_V_RESIZABLE) != 0);
    if (!fixed)
        result |= kWindowResizable;
    if (feel == B_FLOATING_APP_WINDOW_FEEL || feel == B_FLOATING_SUBSET_WINDOW_FEEL
        || feel == B_FLOATING_ALL_WINDOW_FEEL)
        result |= kWindowFloating;
    if ((flags & B_AVOID_FOCUS) != 0)
        result |= kWindowAvoidFocus;
    return result;
}

// #pragma mark - the surface

WindowLink::SurfaceGuard::SurfaceGuard(WindowLink* link)
    : fLink(link)
{
    fLink->LockSurface();
}

WindowLink::SurfaceGuard::~SurfaceGuard()
{
    fLink->UnlockSurface();
}

void WindowLink::LockSurface()
{
    std::thread::id self = std::this_thread::get_id();
    if (fSurfaceOwner.load() == self) {
        fSurfaceDepth++;
        return;
    }
    if (fOffscreen)
        fOwnLock.lock();
    else
        fDisplayWindow->Store().Lock();
    fSurfaceOwner = self;
    fSurfaceDepth = 1;
}

void WindowLink::UnlockSurface()
{
    if (--fSurfaceDepth > 0)
        return;
    fSurfaceOwner = std::thread::id();
    if (fOffscreen)
        fOwnLock.unlock();
    else
        fDisplayWindow->Store().Unlock();
}

RenderSurface* WindowLink::Surface() const
{
    return fOffscreen ? fOwnSurface.get() : fDisplayWindow->Store().Surface();
}

status_t WindowLink::ResizeSurface(int32 width, int32 height)
{
    if (fOffscreen)
        return B_NOT_ALLOWED;
    // The display window resizes its store under the store's lock.
    fDisplayWindow->ResizeTo(float(width - 1), float(height - 1));
    return B_OK;
}

// #pragma mark - the display window

int32 WindowLink::DisplayId() const
{
    return fOffscreen ? -1 : fDisplayWindow->Id();
}

void WindowLink::SetTitle(const char* title)
{
    if (!fOffscreen)
        fDisplayWindow->SetTitle(title);
}

void WindowLink::SetFrame(BRect frame)
{
    if (!fOffscreen)
        fDisplayWindow->MoveTo(frame.LeftTop());
}

void WindowLink::SetLookAndFeel(window_look /*look*/, window_feel feel, uint32 flags)
{
    // The display window keeps the kind it was made with; the feel decides
    // the window's layer among the others here.
    fFeel = feel;
    fFlags = flags;
}

void WindowLink::SetSubset(const std::vector<BWindow*>& subset)
{
    fSubset = subset;
}

void WindowLink::Show()
{
    if (fOffscreen)
        return;
    Desktop::Default().WindowShown(
        fWindow, (fFlags & B_AVOID_FRONT) != 0, fFeel, fSubset, fDisplayWindow);
    fDisplayWindow->Show();
    fDisplayWindow->PresentAll();
}

void WindowLink::Hide()
{
    if (fOffscreen)
        return;
    Desktop::Default().WindowHidden(fWindow);
    fDisplayWindow->Hide();
}

void WindowLink::Activate()
{
    if (fOffscreen)
        return;
    Desktop::Default().BringToFront(fWindow);
    fDisplayWindow->Activate();
}

bool WindowLink::IsActive() const
{
    return !fOffscreen && fDisplayWindow->IsActive();
}

void WindowLink::Present(const ClipRegion& area)
{
    if (area.IsEmpty() || fOffscreen)
        return;
    fPresentCount++;
    fDisplayWindow->Present(area);
}

int64 WindowLink::PresentCount() const
{
    return fPresentCount;
}

std::vector<DisplayEvent> WindowLink::TakeEvents()
{
    if (fOffscreen)
        return {};
    return fDisplayWindow->Events().PopAll();
}

int32 WindowLink::CountWaitingEvents() const
{
    if (fOffscreen)
        return 0;
    return fDisplayWindow->Events().Count();
}

bool WindowLink::WaitForEvents(bigtime_t deadline)
{
    if (fOffscreen)
        return false;
    return fDisplayWindow->Events().WaitForEvent(deadline) == B_OK;
}

status_t WindowLink::Screenshot(const char* path)
{
    SurfaceGuard guard(this);
    return Surface()->WritePNG(path);
}

} // namespace BPrivate
