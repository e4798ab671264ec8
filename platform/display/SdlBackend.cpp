// SdlBackend: the display thread, the commands it runs, the windows and
// presenting backing stores. Events are translated in SdlInput.cpp.

#include <SdlBackend.h>

#include "SdlBackendImpl.h"

#include <BlockingPoint.h>
#include <DisplayScale.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace BPrivate {

namespace {

std::atomic<bool> sBackendExists { false };

Uint32 NativeFlags(uint32 flags)
{
    Uint32 native = SDL_WINDOW_HIDDEN;
    if ((flags & kWindowResizable) != 0)
        native |= SDL_WINDOW_RESIZABLE;
    if ((flags & kWindowBorderless) != 0)
        native |= SDL_WINDOW_BORDERLESS;
    // Menus and tool tips are placed exactly and stay off the task bar; on
    // X11 they bypass the window manager. SDL takes one window type only
    // (utility, pop-up menu or tool tip) and refuses to make a window with
    // two, so a floating tool tip is a tool tip that stays on top.
    if ((flags & kWindowFloating) != 0)
        native |= SDL_WINDOW_ALWAYS_ON_TOP;
    if ((flags & kWindowPopup) != 0)
        native |= SDL_WINDOW_POPUP_MENU | SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR;
    else if ((flags & kWindowAvoidFocus) != 0)
        native |= SDL_WINDOW_TOOLTIP | SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR;
    else if ((flags & kWindowFloating) != 0)
        native |= SDL_WINDOW_UTILITY;
    return native;
}

bool IsVirtualDriver(const char* driver)
{
    return driver == nullptr || std::strcmp(driver, "offscreen") == 0
        || std::strcmp(driver, "dummy") == 0;
}

} // namespace

ScreenInfo ReadSdlScreen(float scale)
{
    ScreenInfo screen;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0) {
        int32 width = std::max<int32>(1, int32(std::lround(mode.w / scale)));
        int32 height = std::max<int32>(1, int32(std::lround(mode.h / scale)));
        screen.frame = BRect(0, 0, float(width - 1), float(height - 1));
        screen.colorSpace = ColorSpaceOf(mode.format);
    }
    return screen;
}

float ReadWaylandScale()
{
    SDL_DisplayMode largest;
    SDL_Rect bounds;
    if (SDL_GetDisplayMode(0, 0, &largest) != 0 || SDL_GetDisplayBounds(0, &bounds) != 0
        || bounds.w <= 0 || largest.w <= bounds.w) {
        return 0;
    }
    return float(largest.w) / float(bounds.w);
}

color_space ColorSpaceOf(uint32 sdlFormat)
{
    switch (SDL_BITSPERPIXEL(sdlFormat)) {
    case 8:
        return B_CMAP8;
    case 15:
        return B_RGB15;
    case 16:
        return B_RGB16;
    default:
        return B_RGB32;
    }
}

// #pragma mark - SdlWindow

SdlWindow::SdlWindow(
    SdlBackend* backend, std::shared_ptr<SdlLink> link, int32 id, const DisplayWindowSpec& spec)
    : DisplayWindow(backend, id, spec)
    , fLink(std::move(link))
{
}

SdlWindow::~SdlWindow()
{
    int32 id = Id();
    Post([id](SdlBackend* backend) { backend->fImpl->DestroyNative(id); });
}

void SdlWindow::Post(std::function<void(SdlBackend*)> command)
{
    std::lock_guard<std::mutex> lock(fLink->lock);
    if (fLink->backend == nullptr)
        return;
    SdlBackend* backend = fLink->backend;
    backend->Post([backend, command = std::move(command)] { command(backend); });
}

ClipRegion SdlWindow::TakePending()
{
    std::lock_guard<std::mutex> lock(fPendingLock);
    ClipRegion pending = std::move(fPending);
    fPending.MakeEmpty();
    fPresentPosted = false;
    return pending;
}

void SdlWindow::DoSetTitle(const std::string& title)
{
    int32 id = Id();
    Post([id, title](SdlBackend* backend) {
        if (SDL_Window* native = backend->fImpl->Native(id))
            SDL_SetWindowTitle(native, title.c_str());
    });
}

void SdlWindow::DoMoveTo(BPoint leftTop)
{
    int32 id = Id();
    Post([id, leftTop](SdlBackend* backend) {
        SdlBackend::Impl& impl = *backend->fImpl;
        if (SDL_Window* native = impl.Native(id)) {
            int32 x = impl.PointsToNative(leftTop.x);
            int32 y = impl.PointsToNative(leftTop.y);
            SdlBackend::Impl::Remember(impl.requestedPositions[id], x, y);
            SDL_SetWindowPosition(native, x, y);
        }
    });
}

void SdlWindow::DoResizeTo(int32 width, int32 height)
{
    int32 id = Id();
    Post([id, width, height](SdlBackend* backend) {
        SdlBackend::Impl& impl = *backend->fImpl;
        if (SDL_Window* native = impl.Native(id)) {
            int32 nativeWidth = impl.PixelsToNative(width);
            int32 nativeHeight = impl.PixelsToNative(height);
            SdlBackend::Impl::Remember(impl.requestedSizes[id], nativeWidth, nativeHeight);
            SDL_SetWindowSize(native, nativeWidth, nativeHeight);
        }
        backend->fImpl->Present(backend, id, nullptr);
    });
}

void SdlWindow::DoShow()
{
    int32 id = Id();
    bool takesFocus = (Flags() & (kWindowAvoidFocus | kWindowPopup)) == 0;
    Post([id, takesFocus](SdlBackend* backend) {
        SDL_Window* native = backend->fImpl->Native(id);
        if (native == nullptr)
            return;
        SDL_ShowWindow(native);
        if (takesFocus)
            SDL_RaiseWindow(native);
        backend->fImpl->Present(backend, id, nullptr);
    });
}

void SdlWindow::DoHide()
{
    int32 id = Id();
    Post([id](SdlBackend* backend) {
        if (SDL_Window* native = backend->fImpl->Native(id))
            SDL_HideWindow(native);
    });
}

void SdlWindow::DoActivate()
{
    int32 id = Id();
    Post([id](SdlBackend* backend) {
        if (SDL_Window* native = backend->fImpl->Native(id)) {
            SDL_RaiseWindow(native);
            SDL_SetWindowInputFocus(native);
        }
    });
}

void SdlWindow::DoPresent(const ClipRegion& dirty)
{
    {
        // Presents coalesce: one command shows everything drawn until it
        // runs.
        std::lock_guard<std::mutex> lock(fPendingLock);
        fPending.Include(dirty);
        if (fPresentPosted)
            return;
        fPresentPosted = true;
    }
    int32 id = Id();
    Post([id](SdlBackend* backend) {
        std::shared_ptr<DisplayWindow> window = backend->FindWindow(id);
        if (!window)
            return;
        ClipRegion region = static_cast<SdlWindow*>(window.get())->TakePending();
        backend->fImpl->Present(backend, id, &region);
    });
}

void SdlWindow::DoClose()
{
    int32 id = Id();
    Post([id](SdlBackend* backend) { backend->fImpl->DestroyNative(id); });
}

// #pragma mark - Impl (display thread)

int32 SdlBackend::Impl::PointsToNative(float points) const
{
    return int32(std::lround(double(points) * scale / pixelsPerNative));
}

float SdlBackend::Impl::NativeToPoints(double native) const
{
    return float(native * pixelsPerNative / scale);
}

int32 SdlBackend::Impl::PixelsToNative(int32 pixels) const
{
    return std::max<int32>(1, int32(std::lround(pixels / pixelsPerNative)));
}

int32 SdlBackend::Impl::NativeToPixels(int32 native) const
{
    return int32(std::lround(native * pixelsPerNative));
}

void SdlBackend::Impl::CreateNative(int32 id, const DisplayWindowSpec& spec)
{
    BRect frame = spec.frame;
    Uint32 flags = NativeFlags(spec.flags);
    // SDL draws at the output's resolution only when asked to.
    if (pixelsPerNative != 1)
        flags |= SDL_WINDOW_ALLOW_HIGHDPI;
    SDL_Window* native = SDL_CreateWindow(spec.title.c_str(), PointsToNative(frame.left),
        PointsToNative(frame.top),
        PixelsToNative(ScaledPixels(int32(frame.IntegerWidth()) + 1, scale)),
        PixelsToNative(ScaledPixels(int32(frame.IntegerHeight()) + 1, scale)), flags);
    if (native == nullptr) {
        std::fprintf(stderr, "brenvik: cannot create a window: %s\n", SDL_GetError());
        return;
    }
    windows[id] = native;
    ids[SDL_GetWindowID(native)] = id;
}

void SdlBackend::Impl::DestroyNative(int32 id)
{
    auto found = windows.find(id);
    if (found == windows.end())
        return;
    ids.erase(SDL_GetWindowID(found->second));
    SDL_DestroyWindow(found->second);
    windows.erase(found);
    drops.erase(id);
    lastMouse.erase(id);
    requestedSizes.erase(id);
    requestedPositions.erase(id);
}

void SdlBackend::Impl::Remember(std::vector<Request>& requests, int32 a, int32 b)
{
    requests.push_back(Request { a, b, system_time() });
}

bool SdlBackend::Impl::Answered(std::vector<Request>& requests, int32 a, int32 b)
{
    constexpr bigtime_t kAnswerTime = 2000000;
    bigtime_t now = system_time();
    std::erase_if(
        requests, [&](const Request& request) { return now - request.when > kAnswerTime; });
    return std::any_of(requests.begin(), requests.end(),
        [&](const Request& request) { return request.a == a && request.b == b; });
}

SDL_Window* SdlBackend::Impl::Native(int32 id) const
{
    auto found = windows.find(id);
    return found != windows.end() ? found->second : nullptr;
}

std::shared_ptr<SdlWindow> SdlBackend::Impl::WindowFor(
    const SdlBackend* backend, uint32 sdlId) const
{
    auto found = ids.find(sdlId);
    if (found == ids.end())
        return nullptr;
    return std::static_pointer_cast<SdlWindow>(backend->FindWindow(found->second));
}

void SdlBackend::Impl::Present(SdlBackend* backend, int32 id, const ClipRegion* region)
{
    SDL_Window* native = Native(id);
    std::shared_ptr<DisplayWindow> window = backend->FindWindow(id);
    if (native == nullptr || !window)
        return;
    SDL_Surface* target = SDL_GetWindowSurface(native);
    if (target == nullptr)
        return;
    std::vector<SDL_Rect> rects;
    {
        std::lock_guard<BackingStore> lock(window->Store());
        RenderSurface* source = window->Store().Surface();
        source->Flush();
        ClipRegion area(clipping_rect { 0, 0, std::min(source->Width(), target->w) - 1,
            std::min(source->Height(), target->h) - 1 });
        if (region != nullptr)
            area.IntersectWith(*region);
        if (SDL_MUSTLOCK(target))
            SDL_LockSurface(target);
        const uint8* sourceBits = reinterpret_cast<const uint8*>(source->Bits());
        for (const clipping_rect& rect : area.Rects()) {
            int width = rect.right - rect.left + 1;
            int height = rect.bottom - rect.top + 1;
            const uint8* from = sourceBits + size_t(rect.top) * size_t(source->BytesPerRow())
                + size_t(rect.left) * 4;
            uint8* to = static_cast<uint8*>(target->pixels)
                + size_t(rect.top) * size_t(target->pitch)
                + size_t(rect.left) * target->format->BytesPerPixel;
            // Cairo's ARGB32 words have SDL's ARGB8888 layout; the opaque
            // store copies as it is into an XRGB8888 window surface.
            SDL_ConvertPixels(width, height, SDL_PIXELFORMAT_ARGB8888, from, source->BytesPerRow(),
                target->format->format, to, target->pitch);
            rects.push_back(SDL_Rect { rect.left, rect.top, width, height });
        }
        if (SDL_MUSTLOCK(target))
            SDL_UnlockSurface(target);
    }
    if (!rects.empty())
        SDL_UpdateWindowSurfaceRects(native, rects.data(), int(rects.size()));
}

// #pragma mark - SdlBackend

SdlBackend::SdlBackend()
    : fImpl(std::make_unique<Impl>())
{
    fImpl->link->backend = this;
}

status_t SdlBackend::Create(bool allowVirtualDrivers, std::unique_ptr<DisplayBackend>* out)
{
    if (out == nullptr)
        return B_BAD_VALUE;
    bool expected = false;
    if (!sBackendExists.compare_exchange_strong(expected, true))
        return B_BUSY;
    std::unique_ptr<SdlBackend> backend(new SdlBackend);
    backend->fThread = std::thread(
        [raw = backend.get(), allowVirtualDrivers] { raw->Run(allowVirtualDrivers); });
    status_t status;
    {
        std::unique_lock<std::mutex> lock(backend->fLock);
        WaitInterruptibly(
            backend->fCondition, lock, B_INFINITE_TIMEOUT, [&] { return backend->fStarted; });
        status = backend->fStartStatus;
    }
    if (status != B_OK)
        return status;
    *out = std::move(backend);
    return B_OK;
}

SdlBackend::~SdlBackend()
{
    {
        std::lock_guard<std::mutex> lock(fImpl->link->lock);
        fImpl->link->backend = nullptr;
    }
    fQuit = true;
    {
        std::lock_guard<std::mutex> lock(fLock);
        if (fRunning) {
            SDL_Event wake;
            SDL_zero(wake);
            wake.type = fImpl->wakeEvent;
            SDL_PushEvent(&wake);
        }
    }
    if (fThread.joinable())
        fThread.join();
    sBackendExists = false;
}

status_t SdlBackend::StartSdl(bool allowVirtualDrivers)
{
    // The platform's own look needs no OpenGL: the window surface over
    // shared memory starts faster and presents faster.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // Quitting is the program's decision: no signal handlers, no quit when
    // the last window closes.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // Before SDL's X11 driver starts: it chains its own handler to the one
    // in place, and puts that one back when it quits.
    IgnoreLateWakeUpErrors();
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        return B_ERROR;
    const char* driver = SDL_GetCurrentVideoDriver();
    fDriver = driver != nullptr ? driver : "";
    // With no display SDL quietly picks a driver that shows nothing; that
    // is no desktop.
    if (!allowVirtualDrivers && IsVirtualDriver(driver)) {
        SDL_Quit();
        return B_UNSUPPORTED;
    }
    ChooseScale();
    fImpl->wakeEvent = SDL_RegisterEvents(1);
    SDL_EventState(SDL_DROPFILE, SDL_ENABLE);
    SDL_EventState(SDL_DROPBEGIN, SDL_ENABLE);
    SDL_EventState(SDL_DROPCOMPLETE, SDL_ENABLE);
    SDL_StartTextInput();
    return B_OK;
}

void SdlBackend::ChooseScale()
{
    ScaleSources sources = EnvironmentScaleSources();
    if (fDriver == "wayland") {
        sources.outputScale = ReadWaylandScale();
        if (sources.outputScale >= 1)
            fImpl->pixelsPerNative = sources.outputScale;
    } else if (fDriver == "x11") {
        sources.xResources = ReadXResources;
    }
    fImpl->scale = BPrivate::ChooseScale(sources);
    SetScale(fImpl->scale);
}

void SdlBackend::Run(bool allowVirtualDrivers)
{
    status_t status = StartSdl(allowVirtualDrivers);
    {
        std::lock_guard<std::mutex> lock(fLock);
        fStarted = true;
        fStartStatus = status;
        fRunning = status == B_OK;
        if (status == B_OK)
            fScreen = ReadSdlScreen(fImpl->scale);
    }
    fCondition.notify_all();
    if (status != B_OK)
        return;

    while (!fQuit) {
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, 100) != 0) {
            Handle(event);
            while (!fQuit && SDL_PollEvent(&event) != 0)
                Handle(event);
        }
        RunCommands();
    }

    std::vector<int32> ids;
    for (const auto& entry : fImpl->windows)
        ids.push_back(entry.first);
    for (int32 id : ids)
        fImpl->DestroyNative(id);
    {
        // After this no other thread touches SDL, not even SDL_PushEvent.
        std::lock_guard<std::mutex> lock(fLock);
        fRunning = false;
        fDone = fPosted;
        fCommands.clear();
    }
    fCondition.notify_all();
    SDL_Quit();
}

void SdlBackend::Post(std::function<void()> command)
{
    std::lock_guard<std::mutex> lock(fLock);
    if (!fRunning)
        return;
    fCommands.push_back(std::move(command));
    fPosted++;
    if (fWakePending)
        return;
    fWakePending = true;
    SDL_Event wake;
    SDL_zero(wake);
    wake.type = fImpl->wakeEvent;
    // If SDL's queue is full the display thread still runs the command
    // within its wait's time-out.
    SDL_PushEvent(&wake);
}

void SdlBackend::RunCommands()
{
    while (true) {
        std::function<void()> command;
        {
            std::lock_guard<std::mutex> lock(fLock);
            if (fCommands.empty()) {
                fWakePending = false;
                return;
            }
            command = std::move(fCommands.front());
            fCommands.pop_front();
        }
        command();
        {
            std::lock_guard<std::mutex> lock(fLock);
            fDone++;
        }
        fCondition.notify_all();
    }
}

bool SdlBackend::IsDisplayThread() const
{
    return std::this_thread::get_id() == fThread.get_id();
}

ScreenInfo SdlBackend::Screen() const
{
    std::lock_guard<std::mutex> lock(fLock);
    return fScreen;
}

status_t SdlBackend::Sync(bigtime_t timeout)
{
    if (IsDisplayThread())
        return B_OK;
    uint64 target;
    {
        std::lock_guard<std::mutex> lock(fLock);
        if (!fRunning)
            return B_NO_INIT;
    }
    Post([] {});
    {
        std::lock_guard<std::mutex> lock(fLock);
        target = fPosted;
    }
    std::unique_lock<std::mutex> lock(fLock);
    return WaitInterruptibly(
        fCondition, lock, system_time() + timeout, [&] { return fDone >= target; });
}

std::unique_ptr<DisplayWindow> SdlBackend::MakeWindow(int32 id, const DisplayWindowSpec& spec)
{
    auto window = std::make_unique<SdlWindow>(this, fImpl->link, id, spec);
    // The window's frame is the spec's, rounded to whole pixels.
    DisplayWindowSpec native = spec;
    native.frame = window->Frame();
    Post([this, id, native] { fImpl->CreateNative(id, native); });
    return window;
}

uint32 SdlBackend::NativeWindowId(int32 window, bigtime_t timeout)
{
    auto id = std::make_shared<uint32>(0);
    Post([this, window, id] {
        if (SDL_Window* native = fImpl->Native(window))
            *id = SDL_GetWindowID(native);
    });
    if (Sync(timeout) != B_OK)
        return 0;
    return *id;
}

status_t SdlBackend::ReadWindowPixels(int32 window, PixelBuffer* out, bigtime_t timeout)
{
    if (out == nullptr)
        return B_BAD_VALUE;
    auto result = std::make_shared<std::pair<status_t, PixelBuffer>>(B_BAD_VALUE, PixelBuffer());
    Post([this, window, result] {
        SDL_Window* native = fImpl->Native(window);
        SDL_Surface* surface = native != nullptr ? SDL_GetWindowSurface(native) : nullptr;
        if (surface == nullptr)
            return;
        PixelBuffer& pixels = result->second;
        if (pixels.SetTo(surface->w, surface->h, B_RGB32) != B_OK)
            return;
        if (SDL_MUSTLOCK(surface))
            SDL_LockSurface(surface);
        SDL_ConvertPixels(surface->w, surface->h, surface->format->format, surface->pixels,
            surface->pitch, SDL_PIXELFORMAT_ARGB8888, pixels.Bits(), pixels.BytesPerRow());
        if (SDL_MUSTLOCK(surface))
            SDL_UnlockSurface(surface);
        result->first = B_OK;
    });
    status_t status = Sync(timeout);
    if (status != B_OK)
        return status;
    if (result->first == B_OK)
        *out = std::move(result->second);
    return result->first;
}

} // namespace BPrivate
