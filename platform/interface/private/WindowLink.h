#pragma once

// WindowLink: a window's connection to the display. It holds the display's
// window (its backing store, which the views draw into, and its event queue)
// and passes the window's geometry, title and visibility on. An off-screen
// window (the views of a bitmap) has a link with a surface of its own and no
// display window.
//
// The backing store's lock is taken by the display while it copies pixels to
// the screen; the link makes it re-entrant for the window's thread, whose
// drawing pass holds it while each view draws.

#include <ClipRegion.h>
#include <DisplayEvent.h>
#include <RenderSurface.h>
#include <Window.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace BPrivate {

class DisplayWindow;

class WindowLink {
public:
    WindowLink(BWindow* window, BRect frame, const char* title, window_look look, window_feel feel,
        uint32 flags);
    // The link of an off-screen window: its surface is a bitmap's pixels and
    // nothing of it reaches the display.
    WindowLink(BWindow* window, std::unique_ptr<RenderSurface> surface);
    ~WindowLink();
    WindowLink(const WindowLink&) = delete;
    WindowLink& operator=(const WindowLink&) = delete;

    // The lock over the pixels, re-entrant for the thread that holds it.
    class SurfaceGuard {
    public:
        explicit SurfaceGuard(WindowLink* link);
        ~SurfaceGuard();
        SurfaceGuard(const SurfaceGuard&) = delete;
        SurfaceGuard& operator=(const SurfaceGuard&) = delete;

    private:
        WindowLink* fLink;
    };
    void LockSurface();
    void UnlockSurface();
    // Valid while the surface is locked.
    RenderSurface* Surface() const;

    // Resizes the backing store to the window's new bounds; the drawing
    // contexts of the views must be made again afterwards.
    status_t ResizeSurface(int32 width, int32 height);

    // The display window's id (for injection and screenshots); -1 off screen.
    int32 DisplayId() const;
    void SetTitle(const char* title);
    void SetFrame(BRect frame);
    void SetLookAndFeel(window_look look, window_feel feel, uint32 flags);
    void SetSubset(const std::vector<BWindow*>& subset);
    void Show();
    void Hide();
    void Activate();
    bool IsActive() const;

    // Tells the display that these pixels (window coordinates) changed.
    void Present(const ClipRegion& area);
    // How many times something was presented; tests wait on it.
    int64 PresentCount() const;

    // The events the display queued for the window, taken on its thread.
    std::vector<DisplayEvent> TakeEvents();
    // How many of them the window has not taken yet.
    int32 CountWaitingEvents() const;
    // Waits until the display queues an event, or the deadline passes.
    bool WaitForEvents(bigtime_t deadline);
    // The display's notice that events are waiting has been seen.
    void EventsNoticed() { fWakePending = false; }

    // Called under the surface lock before a view draws: a bitmap loads
    // pixels the program wrote into the surface first.
    void SetBeforeDrawing(std::function<void()> hook) { fBeforeDrawing = std::move(hook); }
    void PrepareSurface()
    {
        if (fBeforeDrawing)
            fBeforeDrawing();
    }

    // Counts drawing into the surface, so that a bitmap knows when its pixels
    // must be read back.
    void NoteDrawing() { fDrawCount++; }
    int64 DrawCount() const { return fDrawCount; }

    // Writes the window's pixels as a PNG file.
    status_t Screenshot(const char* path);

private:
    static uint32 DisplayFlags(window_look look, window_feel feel, uint32 flags);

    BWindow* fWindow;
    std::shared_ptr<DisplayWindow> fDisplayWindow;
    std::unique_ptr<RenderSurface> fOwnSurface;
    std::mutex fOwnLock;
    std::atomic<std::thread::id> fSurfaceOwner;
    int32 fSurfaceDepth = 0;

    window_feel fFeel;
    uint32 fFlags;
    std::vector<BWindow*> fSubset;
    bool fOffscreen = false;
    std::atomic<bool> fWakePending { false };
    std::atomic<int64> fPresentCount { 0 };
    std::atomic<int64> fDrawCount { 0 };
    std::function<void()> fBeforeDrawing;
};

} // namespace BPrivate
