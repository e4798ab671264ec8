#pragma once

// HeadlessBackend: windows without a screen. Each keeps its backing store
// (which screenshots are taken from); input comes only from injection;
// activation follows Show and Activate like a simple desktop would.

#include <DisplayBackend.h>

namespace BPrivate {

class HeadlessBackend : public DisplayBackend {
public:
    // The screen's size (in points) comes from BRENVIK_SCREEN ("1024x768")
    // when set, the scale factor from BRENVIK_SCALE.
    HeadlessBackend();
    explicit HeadlessBackend(const ScreenInfo& screen, float scale = 1);

    const char* Name() const override { return "headless"; }
    ScreenInfo Screen() const override { return fScreen; }
    status_t Sync(bigtime_t timeout) override;

    // Makes `window` the active window, telling it and the one it replaces.
    void SetActiveWindow(int32 window);
    int32 ActiveWindow() const;

protected:
    std::unique_ptr<DisplayWindow> MakeWindow(int32 id, const DisplayWindowSpec& spec) override;

private:
    ScreenInfo fScreen;
    mutable std::mutex fActiveLock;
    int32 fActive = -1;
};

} // namespace BPrivate
