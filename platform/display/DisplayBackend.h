#pragma once

// DisplayBackend: where windows are shown. Two backends exist: SDL, on the
// desktop, and headless, which keeps the windows' pixels without showing
// them and takes its input from the program itself (the UI driver and the
// tests). The program uses one, chosen on first use:
//
// - BRENVIK_DISPLAY=headless chooses the headless backend;
// - BRENVIK_DISPLAY=sdl chooses SDL with whatever video driver SDL picks;
// - otherwise SDL is used when a desktop is reachable (DISPLAY or
//   WAYLAND_DISPLAY is set, SDL starts, and its video driver is a real one,
//   not "offscreen" or "dummy"), and the headless backend when not, which is
//   said once on standard error.
//
// Input can be injected into any backend's windows; that is how the headless
// backend gets any, and how scripts drive the SDL one.
//
// Coordinates (frames, the screen, event positions, injected input) are in
// points; each backend has a scale factor, chosen once when it starts (see
// DisplayScale.h), and a window's backing store and screenshots have the
// factor's pixels per point. A window moved to a monitor of another scale
// keeps the factor.

#include <DisplayEventQueue.h>
#include <DisplayWindow.h>
#include <GraphicsDefs.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace BPrivate {

struct ScreenInfo {
    BRect frame = BRect(0, 0, 1023, 767);
    color_space colorSpace = B_RGB32;
};

class DisplayBackend {
public:
    virtual ~DisplayBackend();
    DisplayBackend(const DisplayBackend&) = delete;
    DisplayBackend& operator=(const DisplayBackend&) = delete;

    // The program's backend, made on first use (thread-safe).
    static DisplayBackend& Default();
    // Whether the program's windows would be seen by someone: a desktop is
    // reachable (the backend is made then, and is SDL), or BRENVIK_DISPLAY
    // asks for a backend by name. A program that answers otherwise without
    // a desktop asks this before its first window; the notice of running
    // headless is then not said.
    static bool WindowsCanShow();
    // For a program that shows no window at all: the backend, when made (a
    // screen's size asked for), is the headless one, without a word.
    static void ShowNoWindows();

    virtual const char* Name() const = 0;
    // The screen, in points.
    virtual ScreenInfo Screen() const = 0;
    // Pixels per point of every window (1 to 4).
    float Scale() const { return fScale.load(); }
    // For tests that draw at another scale than the program's: the windows
    // made from now on take `scale` (clamped to 1..4); those that exist keep
    // theirs.
    void ScaleNewWindows(float scale);

    // A new hidden window; never null (the headless backend cannot fail and
    // the SDL backend creates its window on its own thread).
    std::shared_ptr<DisplayWindow> CreateWindow(const DisplayWindowSpec& spec);
    std::shared_ptr<DisplayWindow> FindWindow(int32 id) const;
    std::vector<std::shared_ptr<DisplayWindow>> Windows() const;

    // Events of the program as a whole: quit requests and screen changes.
    DisplayEventQueue& AppEvents() { return fAppEvents; }

    // Waits until the backend has carried out everything asked of it so far
    // (windows created, moved, presented). B_TIMED_OUT when `timeout`
    // (microseconds) passes first.
    virtual status_t Sync(bigtime_t timeout = 5000000) = 0;

    // Input injection. Positions are in the window's coordinates. B_BAD_VALUE
    // for an unknown or closed window.
    status_t Inject(int32 window, DisplayEvent event);
    // kHeldButtons stands for the buttons of the last injected press, until
    // the release.
    static constexpr uint32 kHeldButtons = 0xffffffff;
    status_t InjectMouseMoved(int32 window, BPoint where, uint32 buttons = kHeldButtons);
    status_t InjectMouseDown(int32 window, BPoint where, uint32 buttons = kPrimaryButton,
        int32 clicks = 1, uint32 modifiers = 0);
    status_t InjectMouseUp(int32 window, BPoint where, uint32 modifiers = 0);
    // A press and release at one point.
    status_t InjectClick(int32 window, BPoint where, uint32 buttons = kPrimaryButton,
        int32 clicks = 1, uint32 modifiers = 0);
    // A key pressed and released: `bytes` is what it types (UTF-8, or one of
    // the KeyBytes), `key` the platform key code.
    status_t InjectKey(int32 window, const std::string& bytes, int32 key = 0, uint32 modifiers = 0);
    // Types text, one key per character.
    status_t InjectText(int32 window, const std::string& text);
    status_t InjectDrop(int32 window, BPoint where, const std::vector<std::string>& paths);
    status_t InjectCloseRequest(int32 window);

    // Writes a window's backing store as a PNG file (in pixels: a window of
    // w × h points at scale s gives w·s × h·s).
    status_t WriteScreenshot(int32 window, const char* path);

protected:
    DisplayBackend() = default;
    // Set by the backend as it starts, before any window is made.
    void SetScale(float scale) { fScale.store(scale); }

    virtual std::unique_ptr<DisplayWindow> MakeWindow(int32 id, const DisplayWindowSpec& spec) = 0;

    // The screen position of a window-relative point.
    BPoint ToScreen(int32 window, BPoint where) const;

public:
    // The choice Default() makes, for a BRENVIK_DISPLAY value (null when
    // unset) and whether DISPLAY or WAYLAND_DISPLAY is set. `notice`
    // receives what to say on standard error, if anything.
    static std::unique_ptr<DisplayBackend> Select(
        const char* requested, bool desktopVariables, std::string* notice);

private:
    mutable std::mutex fWindowsLock;
    std::map<int32, std::weak_ptr<DisplayWindow>> fWindows;
    int32 fNextId = 1;
    uint32 fInjectedButtons = 0;
    DisplayEventQueue fAppEvents;
    std::atomic<float> fScale { 1 };
};

} // namespace BPrivate
