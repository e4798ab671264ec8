#include "Desktop.h"

#include "WindowPrivate.h"

#include <AppDefs.h>
#include <Application.h>
#include <DisplayBackend.h>
#include <Window.h>

#include <algorithm>

namespace BPrivate {

Desktop& Desktop::Default()
{
    static Desktop* desktop = new Desktop;
    return *desktop;
}

Desktop::Desktop() = default;

BRect Desktop::ScreenFrame() const
{
    return DisplayBackend::Default().Screen().frame;
}

int32 Desktop::Layer(int32 feel)
{
    switch (feel) {
    case B_MODAL_SUBSET_WINDOW_FEEL:
    case B_MODAL_APP_WINDOW_FEEL:
    case B_MODAL_ALL_WINDOW_FEEL:
        return 2;
    case B_FLOATING_SUBSET_WINDOW_FEEL:
    case B_FLOATING_APP_WINDOW_FEEL:
    case B_FLOATING_ALL_WINDOW_FEEL:
        return 1;
    default:
        return 0;
    }
}

void Desktop::Insert(Entry entry, bool avoidFront)
{
    // In front of every window of its own layer or a lower one; behind the
    // first of them when it avoids the front.
    int32 layer = Layer(entry.feel);
    auto position = std::find_if(fWindows.begin(), fWindows.end(),
        [&](const Entry& other) { return Layer(other.feel) <= layer; });
    if (avoidFront && position != fWindows.end())
        position++;
    fWindows.insert(position, std::move(entry));
}

void Desktop::WindowShown(BWindow* window, bool avoidFront, int32 feel,
    const std::vector<BWindow*>& subset, std::shared_ptr<DisplayWindow> display)
{
    std::lock_guard guard(fLock);
    std::erase_if(fWindows, [&](const Entry& entry) { return entry.window == window; });
    Insert(Entry { window, BMessenger(window), feel, subset, std::move(display) }, avoidFront);
}

bool Desktop::FrontWindowFrame(const BWindow* except, BRect* frame) const
{
    std::lock_guard guard(fLock);
    for (const Entry& entry : fWindows) {
        if (entry.window == except || entry.display == nullptr)
            continue;
        *frame = entry.display->Frame();
        return true;
    }
    return false;
}

BMessenger Desktop::BlockingModal(const BWindow* window) const
{
    std::lock_guard guard(fLock);
    for (const Entry& entry : fWindows) {
        if (entry.window == window)
            return BMessenger();
        bool blocks = entry.feel == B_MODAL_APP_WINDOW_FEEL || entry.feel == B_MODAL_ALL_WINDOW_FEEL
            || (entry.feel == B_MODAL_SUBSET_WINDOW_FEEL
                && std::find(entry.subset.begin(), entry.subset.end(), window)
                    != entry.subset.end());
        if (blocks)
            return entry.messenger;
    }
    return BMessenger();
}

void Desktop::WindowHidden(BWindow* window)
{
    std::lock_guard guard(fLock);
    std::erase_if(fWindows, [&](const Entry& entry) { return entry.window == window; });
}

void Desktop::WindowGone(BWindow* window)
{
    std::lock_guard guard(fLock);
    std::erase_if(fWindows, [&](const Entry& entry) { return entry.window == window; });
    BMessenger gone(window);
    std::erase_if(fAllWindows, [&](const BMessenger& entry) { return entry == gone; });
}

void Desktop::BringToFront(BWindow* window)
{
    std::lock_guard guard(fLock);
    auto found = std::find_if(fWindows.begin(), fWindows.end(),
        [&](const Entry& entry) { return entry.window == window; });
    if (found == fWindows.end())
        return;
    Entry entry = *found;
    fWindows.erase(found);
    Insert(std::move(entry), false);
}

void Desktop::SendBehind(BWindow* window, BWindow* behind)
{
    std::lock_guard guard(fLock);
    auto found = std::find_if(fWindows.begin(), fWindows.end(),
        [&](const Entry& entry) { return entry.window == window; });
    if (found == fWindows.end())
        return;
    Entry entry = *found;
    fWindows.erase(found);
    auto other = std::find_if(fWindows.begin(), fWindows.end(),
        [&](const Entry& candidate) { return candidate.window == behind; });
    if (other == fWindows.end())
        fWindows.push_back(entry);
    else
        fWindows.insert(other + 1, entry);
}

bool Desktop::IsFront(const BWindow* window) const
{
    std::lock_guard guard(fLock);
    return !fWindows.empty() && fWindows.front().window == window;
}

std::vector<BMessenger> Desktop::WindowsFrontToBack() const
{
    std::lock_guard guard(fLock);
    std::vector<BMessenger> windows;
    for (const Entry& entry : fWindows)
        windows.push_back(entry.messenger);
    return windows;
}

std::vector<BMessenger> Desktop::AllWindows() const
{
    std::lock_guard guard(fLock);
    return fAllWindows;
}

int32 Desktop::CountShownWindows() const
{
    std::lock_guard guard(fLock);
    return int32(fWindows.size());
}

void Desktop::WindowMade(BWindow* window)
{
    std::lock_guard guard(fLock);
    fAllWindows.push_back(BMessenger(window));
}

void Desktop::WatchAppEvents()
{
    {
        std::lock_guard guard(fLock);
        if (fWatching)
            return;
        fWatching = true;
    }
    // The display wakes the first window that still exists; that window
    // takes the events on its thread.
    DisplayBackend::Default().AppEvents().SetNotifier([this] {
        std::vector<BMessenger> windows;
        {
            std::lock_guard guard(fLock);
            windows = fAllWindows;
        }
        BMessage wake(kMsgAppEvents);
        for (const BMessenger& window : windows) {
            if (window.SendMessage(&wake, static_cast<BHandler*>(nullptr), 0) == B_OK)
                return;
        }
    });
}

void Desktop::HandleAppEvents()
{
    for (const DisplayEvent& event : DisplayBackend::Default().AppEvents().PopAll()) {
        if (event.type == DisplayEventType::kQuitRequested) {
            if (be_app != nullptr)
                be_app->PostMessage(B_QUIT_REQUESTED);
            continue;
        }
        if (event.type != DisplayEventType::kScreenChanged)
            continue;
        std::vector<BMessenger> windows;
        {
            std::lock_guard guard(fLock);
            windows = fAllWindows;
        }
        BMessage changed(B_SCREEN_CHANGED);
        changed.AddRect("frame", event.frame);
        changed.AddInt32("mode", int32(DisplayBackend::Default().Screen().colorSpace));
        for (const BMessenger& window : windows)
            window.SendMessage(&changed, static_cast<BHandler*>(nullptr), 0);
    }
}

uint32 Desktop::Modifiers() const
{
    std::lock_guard guard(fLock);
    return fModifiers;
}

void Desktop::SetModifiers(uint32 modifiers)
{
    std::lock_guard guard(fLock);
    fModifiers = modifiers;
}

} // namespace BPrivate
