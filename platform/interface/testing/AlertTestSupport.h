#pragma once

// Helpers of the tests that meet alerts (the kit's own and those of the
// message boxes and dialogs above it): the alert in front as a user sees it,
// answers given to it from another thread, a window that goes on drawing
// meanwhile, and waits for alerts and their window threads to be gone.

#include <Alert.h>
#include <InterfaceTestSupport.h>
#include <OS.h>
#include <View.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace brenvik::test {

// What a user sees of an alert, once it is up and drawn.
struct ShownAlert {
    BMessenger messenger;
    int32 displayId = -1;
    std::string title;
    std::string text;
    alert_type type = B_EMPTY_ALERT;
    std::vector<std::string> labels;
    std::vector<char> shortcuts;
};

// Waits for the alert in front to be shown and settled.
inline bool FindShownAlert(ShownAlert* shown, bigtime_t timeout = kDeadline)
{
    return WaitUntil(
        [&] {
            for (const BMessenger& window : WindowsFrontToBack()) {
                if (window.LockTargetWithTimeout(10000) != B_OK)
                    continue;
                BLooper* looper = nullptr;
                window.Target(&looper);
                BAlert* alert = dynamic_cast<BAlert*>(looper);
                bool usable
                    = alert != nullptr && !alert->IsHidden() && BPrivate::IsWindowSettled(alert);
                if (usable) {
                    shown->messenger = window;
                    shown->displayId = DisplayId(alert);
                    shown->title = alert->Title();
                    shown->text = alert->TextView()->Text();
                    shown->type = alert->Type();
                    shown->labels.clear();
                    shown->shortcuts.clear();
                    for (int32 i = 0; i < alert->CountButtons(); i++) {
                        shown->labels.push_back(alert->ButtonAt(i)->Label());
                        shown->shortcuts.push_back(alert->Shortcut(i));
                    }
                }
                looper->Unlock();
                if (usable)
                    return true;
            }
            return false;
        },
        timeout);
}

// Whether an alert is among the windows shown.
inline bool AnAlertIsUp()
{
    for (const BMessenger& window : WindowsFrontToBack()) {
        BLooper* looper = nullptr;
        window.Target(&looper);
        if (dynamic_cast<BAlert*>(looper) != nullptr)
            return true;
    }
    return false;
}

// Whether any alert still exists, shown or closing.
inline bool AnAlertExists()
{
    for (const BMessenger& window : AllWindows()) {
        BLooper* looper = nullptr;
        window.Target(&looper);
        if (dynamic_cast<BAlert*>(looper) != nullptr)
            return true;
    }
    return false;
}

// Waits until no alert exists any more, shown or closing.
inline bool WaitUntilNoAlert()
{
    return WaitUntil([] { return !AnAlertExists(); });
}

// Answers the next alert from a thread of its own: `answer` runs once the
// alert is up, and what was seen is kept.
class AlertAnswerer {
public:
    explicit AlertAnswerer(std::function<void(const ShownAlert&)> answer)
        : fThread([this, answer] {
            if (!FindShownAlert(&fShown))
                return;
            answer(fShown);
            fAnswered = true;
        })
    {
    }
    ~AlertAnswerer() { Join(); }

    const ShownAlert& Join()
    {
        if (fThread.joinable())
            fThread.join();
        return fShown;
    }
    bool Answered() const { return fAnswered; }

    // Presses a key in the alert.
    static std::function<void(const ShownAlert&)> Key(const char* bytes)
    {
        return [bytes](const ShownAlert& shown) { Display().InjectKey(shown.displayId, bytes); };
    }

private:
    ShownAlert fShown;
    std::atomic<bool> fAnswered { false };
    std::thread fThread;
};

// Whether a window's thread is still running: an alert goes on closing on
// its own thread after it has answered.
inline bool AWindowThreadRuns()
{
    int32 cookie = 0;
    thread_info info;
    while (get_next_thread_info(B_CURRENT_TEAM, &cookie, &info) == B_OK) {
        if (std::strncmp(info.name, "w>", 2) == 0)
            return true;
    }
    return false;
}

// A window's view that redraws on every pulse and counts its drawing, to
// show that the window goes on drawing while an alert waits for its answer.
class CountingView : public BView {
public:
    CountingView()
        : BView(BRect(0, 0, 50, 50), "counter", B_FOLLOW_NONE, B_WILL_DRAW | B_PULSE_NEEDED)
    {
    }
    void Draw(BRect) override
    {
        draws++;
        FillRect(Bounds());
    }
    void Pulse() override { Invalidate(); }
    std::atomic<int32> draws { 0 };
};

// Adds a CountingView to `window`, shows the window with a pulse every 10 ms
// and waits for it to settle: the view, or nullptr if it did not settle.
inline CountingView* ShowDrawingWindow(TestWindow& window)
{
    CountingView* view = new CountingView;
    window.Add(view);
    window->SetPulseRate(10000);
    window.Show();
    return WaitUntilSettled(window.Get()) ? view : nullptr;
}

// A test program that registers this waits for every window thread to end
// before it ends, so that no alert is still closing while the display is
// taken down.
class WindowsGoneAtExit : public testing::Environment {
public:
    void TearDown() override
    {
        WaitUntil([] { return !AWindowThreadRuns(); });
    }
};

} // namespace brenvik::test
