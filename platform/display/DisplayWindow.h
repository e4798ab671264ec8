#pragma once

// DisplayWindow: one window of the display backend, as the interface kit
// sees it: a backing store to draw into, an event queue to drain, and the
// operations a window needs (title, place, size, visibility, activation,
// presenting what was drawn). Every method is thread-safe. Frames are in
// screen coordinates, in points, inclusive, and describe the content area: a
// frame of (0, 0, 455, 257) is 456 × 258 points, and as many pixels times the
// backend's scale (912 × 516 at scale 2) in the backing store.

#include <BackingStore.h>
#include <ClipRegion.h>
#include <DisplayEventQueue.h>
#include <Rect.h>

#include <memory>
#include <mutex>
#include <string>

namespace BPrivate {

class DisplayBackend;

// How a window looks and behaves.
enum : uint32 {
    // No title bar or frame from the desktop (the kit draws any border).
    kWindowBorderless = 0x01,
    // The user may resize the window.
    kWindowResizable = 0x02,
    // Stays above ordinary windows.
    kWindowFloating = 0x04,
    // Never takes the keyboard focus (tool tips).
    kWindowAvoidFocus = 0x08,
    // A menu: borderless, placed exactly, above everything.
    kWindowPopup = 0x10,
};

struct DisplayWindowSpec {
    BRect frame = BRect(0, 0, 99, 99);
    std::string title;
    uint32 flags = 0;
};

class DisplayWindow {
public:
    virtual ~DisplayWindow();
    DisplayWindow(const DisplayWindow&) = delete;
    DisplayWindow& operator=(const DisplayWindow&) = delete;

    int32 Id() const { return fId; }
    uint32 Flags() const { return fFlags; }
    BackingStore& Store() { return fStore; }
    // Pixels per point, the backend's when the window was made.
    float Scale() const { return fScale; }
    DisplayEventQueue& Events() { return fEvents; }

    BRect Frame() const;
    std::string Title() const;
    bool IsHidden() const;
    bool IsActive() const;
    bool IsClosed() const;

    void SetTitle(const char* title);
    void MoveTo(BPoint leftTop);
    // Width and height as the platform counts them: one less than the
    // pixels. The backing store is resized at once, keeping its pixels.
    void ResizeTo(float width, float height);
    // Windows start hidden.
    void Show();
    void Hide();
    void Activate();
    // Puts what was drawn into `dirty` (window coordinates, points) on the
    // screen.
    void Present(const ClipRegion& dirty);
    void PresentAll();
    // Takes the window off the screen for good; its queue stops accepting
    // events. The object stays valid for whoever holds it.
    void Close();

    // How many times the window was presented (for tests).
    int32 CountPresents() const;

protected:
    DisplayWindow(DisplayBackend* backend, int32 id, const DisplayWindowSpec& spec);

    // What each backend does; called after the shared state was updated,
    // on the calling thread. Sizes and regions are in backing-store pixels.
    virtual void DoSetTitle(const std::string& title) = 0;
    virtual void DoMoveTo(BPoint leftTop) = 0;
    virtual void DoResizeTo(int32 width, int32 height) = 0;
    virtual void DoShow() = 0;
    virtual void DoHide() = 0;
    virtual void DoActivate() = 0;
    virtual void DoPresent(const ClipRegion& dirty) = 0;
    virtual void DoClose() = 0;

    // For the display side: the desktop moved or resized the window, or
    // changed its activation. Each returns whether anything changed.
    bool UpdateFrame(BRect frame);
    bool UpdateActive(bool active);

    DisplayBackend* Backend() const { return fBackend; }

private:
    DisplayBackend* fBackend;
    const int32 fId;
    const uint32 fFlags;
    const float fScale;
    BackingStore fStore;
    DisplayEventQueue fEvents;

    mutable std::mutex fLock;
    BRect fFrame;
    std::string fTitle;
    bool fHidden = true;
    bool fActive = false;
    bool fClosed = false;
    int32 fPresents = 0;
};

} // namespace BPrivate
