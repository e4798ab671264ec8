#pragma once

// SdlBackend: windows on the desktop through SDL2. One display thread owns
// SDL completely: it initialises it, makes and destroys the windows, pumps
// the events and copies backing stores to the screen. Other threads never
// call SDL (apart from SDL_PushEvent, which is thread-safe): they post
// commands that the display thread runs, and wake it with a user event.
// Windows are shown through SDL's window surface with framebuffer
// acceleration off (plain shared memory on X11, no OpenGL), presenting only
// the rectangles that changed.
//
// Scale: SDL's window coordinates are pixels on X11 (logical units on
// Wayland); the backend turns them into points, and points into them, with
// the backend's scale factor.
//
// Input: SDL's key-down and the text input that follows it become one key
// event; text typed without a key (input methods) becomes a key event of its
// own. Ctrl is the platform's command key, Alt its control key (see
// DisplayEvent.h). Button numbers become the platform's button bits, SDL's
// click count the clicks, and files dropped together one drop event at the
// pointer.

#include <DisplayBackend.h>
#include <PixelBuffer.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <thread>

union SDL_Event;

namespace BPrivate {

class SdlWindow;

class SdlBackend : public DisplayBackend {
public:
    // Starts the display thread and SDL on it. Fails (B_UNSUPPORTED) when
    // SDL's video driver is a virtual one ("offscreen", "dummy") unless
    // `allowVirtualDrivers`, and with B_ERROR when SDL cannot start. Only one
    // SDL backend can exist at a time (B_BUSY).
    static status_t Create(bool allowVirtualDrivers, std::unique_ptr<DisplayBackend>* out);
    ~SdlBackend() override;

    const char* Name() const override { return "sdl"; }
    ScreenInfo Screen() const override;
    status_t Sync(bigtime_t timeout) override;

    const std::string& VideoDriver() const { return fDriver; }

    // The pixels SDL shows for a window (its window surface), as B_RGB32.
    status_t ReadWindowPixels(int32 window, PixelBuffer* out, bigtime_t timeout = 5000000);

    // SDL's id of a window, for tests that feed SDL events in
    // (SDL_PushEvent is safe from any thread). 0 when it has none.
    uint32 NativeWindowId(int32 window, bigtime_t timeout = 5000000);

    // Runs `command` on the display thread, after the commands posted before.
    void Post(std::function<void()> command);
    bool IsDisplayThread() const;

protected:
    std::unique_ptr<DisplayWindow> MakeWindow(int32 id, const DisplayWindowSpec& spec) override;

private:
    struct Impl;
    friend struct Impl;
    friend class SdlWindow;

    SdlBackend();
    status_t StartSdl(bool allowVirtualDrivers);
    // Picks the windows' scale factor once SDL's video driver is known.
    void ChooseScale();
    void Run(bool allowVirtualDrivers);
    void RunCommands();
    void Handle(const SDL_Event& event);
    void HandleWindowEvent(const SDL_Event& event);
    void HandleResize(const std::shared_ptr<SdlWindow>& window, int32 width, int32 height);
    void HandleMouse(const SDL_Event& event);
    void TakeFocusOnClick(const std::shared_ptr<SdlWindow>& window);
    void HandleKey(const SDL_Event& event);
    void HandleDrop(const SDL_Event& event);
    void HandleDisplayChange();

    std::unique_ptr<Impl> fImpl;
    std::thread fThread;
    std::string fDriver;

    mutable std::mutex fLock;
    std::condition_variable_any fCondition;
    std::deque<std::function<void()>> fCommands;
    bool fWakePending = false;
    uint64 fPosted = 0;
    uint64 fDone = 0;
    bool fStarted = false;
    bool fRunning = false;
    status_t fStartStatus = B_NO_INIT;
    std::atomic<bool> fQuit { false };
    ScreenInfo fScreen;
};

} // namespace BPrivate
