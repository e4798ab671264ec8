#include <HeadlessBackend.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <DisplayScale.h>
#include <Environment.h>

namespace BPrivate {

namespace {

ScreenInfo ConfiguredScreen()
{
    ScreenInfo screen;
    const char* size = Environment::Get("BRENVIK_SCREEN");
    int width = 0;
    int height = 0;
    if (size != nullptr && std::sscanf(size, "%dx%d", &width, &height) == 2 && width > 0
        && height > 0 && width <= 16384 && height <= 16384) {
        screen.frame = BRect(0, 0, float(width - 1), float(height - 1));
    }
    return screen;
}

class HeadlessWindow : public DisplayWindow {
public:
    HeadlessWindow(HeadlessBackend* backend, int32 id, const DisplayWindowSpec& spec)
        : DisplayWindow(backend, id, spec)
        , fHeadless(backend)
    {
    }

    void Activated(bool active)
    {
        if (!UpdateActive(active))
            return;
        DisplayEvent event;
        event.type = active ? DisplayEventType::kActivated : DisplayEventType::kDeactivated;
        event.window = Id();
        Events().Push(event);
    }

protected:
    void DoSetTitle(const std::string&) override { }
    void DoMoveTo(BPoint) override { }
    void DoResizeTo(int32, int32) override { }
    void DoShow() override
    {
        if ((Flags() & kWindowAvoidFocus) == 0)
            fHeadless->SetActiveWindow(Id());
    }
    void DoHide() override { Deactivate(); }
    void DoActivate() override { fHeadless->SetActiveWindow(Id()); }
    void DoPresent(const ClipRegion&) override { }
    void DoClose() override { Deactivate(); }

private:
    void Deactivate()
    {
        if (fHeadless->ActiveWindow() == Id())
            fHeadless->SetActiveWindow(-1);
    }

    HeadlessBackend* fHeadless;
};

} // namespace

HeadlessBackend::HeadlessBackend()
    : fScreen(ConfiguredScreen())
{
    SetScale(HeadlessScale());
}

HeadlessBackend::HeadlessBackend(const ScreenInfo& screen, float scale)
    : fScreen(screen)
{
    SetScale(std::clamp(scale, kMinDisplayScale, kMaxDisplayScale));
}

status_t HeadlessBackend::Sync(bigtime_t)
{
    // Everything happens at once on the calling thread.
    return B_OK;
}

std::unique_ptr<DisplayWindow> HeadlessBackend::MakeWindow(int32 id, const DisplayWindowSpec& spec)
{
    return std::make_unique<HeadlessWindow>(this, id, spec);
}

int32 HeadlessBackend::ActiveWindow() const
{
    std::lock_guard<std::mutex> lock(fActiveLock);
    return fActive;
}

void HeadlessBackend::SetActiveWindow(int32 window)
{
    int32 previous;
    {
        std::lock_guard<std::mutex> lock(fActiveLock);
        previous = fActive;
        fActive = window;
    }
    if (previous == window)
        return;
    if (std::shared_ptr<DisplayWindow> old = FindWindow(previous))
        static_cast<HeadlessWindow*>(old.get())->Activated(false);
    if (std::shared_ptr<DisplayWindow> now = FindWindow(window))
        static_cast<HeadlessWindow*>(now.get())->Activated(true);
}

} // namespace BPrivate
