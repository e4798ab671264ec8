#pragma once

// The SDL backend's private parts, shared by SdlBackend.cpp (the display
// thread, commands and windows) and SdlInput.cpp (events). Only these two
// files include SDL.

#include <SdlBackend.h>

#include <SDL.h>
#include <map>
#include <vector>

namespace BPrivate {

// The way from a window to its backend. The backend clears it before it
// stops, so that windows outliving it post nothing.
struct SdlLink {
    std::mutex lock;
    SdlBackend* backend = nullptr;
};

class SdlWindow : public DisplayWindow {
public:
    SdlWindow(SdlBackend* backend, std::shared_ptr<SdlLink> link, int32 id,
        const DisplayWindowSpec& spec);
    ~SdlWindow() override;

    // The region waiting to be shown, taken by the display thread.
    ClipRegion TakePending();

    // For the display thread.
    using DisplayWindow::UpdateActive;
    using DisplayWindow::UpdateFrame;

protected:
    void DoSetTitle(const std::string& title) override;
    void DoMoveTo(BPoint leftTop) override;
    void DoResizeTo(int32 width, int32 height) override;
    void DoShow() override;
    void DoHide() override;
    void DoActivate() override;
    void DoPresent(const ClipRegion& dirty) override;
    void DoClose() override;

private:
    void Post(std::function<void(SdlBackend*)> command);

    std::shared_ptr<SdlLink> fLink;
    std::mutex fPendingLock;
    ClipRegion fPending;
    bool fPresentPosted = false;
};

struct SdlBackend::Impl {
    uint32 wakeEvent = 0;
    // Pixels per point, and pixels per unit of SDL's window coordinates (1
    // on X11; the output's scale on Wayland, where SDL counts in logical
    // units).
    float scale = 1;
    float pixelsPerNative = 1;

    // Points and pixels to SDL's window coordinates and back.
    int32 PointsToNative(float points) const;
    float NativeToPoints(double native) const;
    int32 PixelsToNative(int32 pixels) const;
    int32 NativeToPixels(int32 native) const;

    // The display thread's own tables.
    std::map<int32, SDL_Window*> windows;
    std::map<uint32, int32> ids;
    uint32 buttons = 0;
    std::map<int32, std::vector<std::string>> drops;
    std::map<int32, BPoint> lastMouse;
    // Sizes and positions the program asked for lately. SDL reports each
    // change once when it asks the desktop and may report it again when the
    // desktop has done it, after later requests: such reports are answers,
    // not the user's doing. A report counts as an answer when it matches a
    // request of the last two seconds.
    struct Request {
        int32 a;
        int32 b;
        bigtime_t when;
    };
    std::map<int32, std::vector<Request>> requestedSizes;
    std::map<int32, std::vector<Request>> requestedPositions;

    static void Remember(std::vector<Request>& requests, int32 a, int32 b);
    static bool Answered(std::vector<Request>& requests, int32 a, int32 b);
    // The bytes of each key held down, repeated in its key-up event.
    std::map<int32, std::string> heldKeys;
    std::shared_ptr<SdlLink> link = std::make_shared<SdlLink>();

    // Display thread: window commands.
    void CreateNative(int32 id, const DisplayWindowSpec& spec);
    void DestroyNative(int32 id);
    SDL_Window* Native(int32 id) const;
    void Present(SdlBackend* backend, int32 id, const ClipRegion* region);
    std::shared_ptr<SdlWindow> WindowFor(const SdlBackend* backend, uint32 sdlId) const;
};

// The platform colour space of an SDL pixel format.
color_space ColorSpaceOf(uint32 sdlFormat);

// The main screen's frame (in points at `scale`) and colour space, as SDL
// reports them.
ScreenInfo ReadSdlScreen(float scale);

// The Wayland output's scale as SDL shows it (its largest mode against its
// bounds in logical units); 0 when it is 1 or unknown.
float ReadWaylandScale();

// The X server's resources (Xft.dpi and the like) through the Xlib that SDL
// loaded (SdlX11Resources.cpp); empty when there is none.
std::string ReadXResources();

// On X11: keeps the X error of a wake-up message that arrives after its
// window was destroyed from ending the program (SdlX11Errors.cpp). Called
// before SDL starts, so that SDL's own handler passes such errors on to it
// and SDL puts it back when it quits (the late error often surfaces only
// when SDL closes its connections).
void IgnoreLateWakeUpErrors();

} // namespace BPrivate
