#pragma once

// Helpers of the toolkit's tests: the interface kit's test helpers (headless
// windows, injected input, waits with deadlines, snapshots), and a panel
// view to build controls on. The tests of this folder and of the installer
// use them (target lib_interface_testing).

#include <InterfaceTestSupport.h>

#include <Application.h>
#include <View.h>
#include <Window.h>

#include <functional>
#include <future>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include <ostream>

// How GoogleTest prints points and rectangles.
inline void PrintTo(const BPoint& point, std::ostream* stream)
{
    *stream << "(" << point.x << ", " << point.y << ")";
}

inline void PrintTo(const BRect& rect, std::ostream* stream)
{
    *stream << "(" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom
            << ")";
}

namespace brenvik::test {

// A view in the panel colour over the whole window, for controls to sit on.
inline BView* Panel(BWindow* window)
{
    BView* panel = new BView(window->Bounds(), "panel", B_FOLLOW_ALL, B_WILL_DRAW);
    panel->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
    window->AddChild(panel);
    return panel;
}

// Injects a key press and release into the window and waits until the
// window has handled it.
inline bool PressKey(BWindow* window, const std::string& bytes, int32 key = 0, uint32 modifiers = 0)
{
    if (Display().InjectKey(DisplayId(window), bytes, key, modifiers) != B_OK)
        return false;
    return WaitUntilSettled(window);
}

// Copies of the messages a looper received, safe to read from the test's
// thread while the looper goes on.
class MessageLog {
public:
    void Add(const BMessage& message)
    {
        std::lock_guard guard(fLock);
        fMessages.push_back(message);
    }

    int32 Count(uint32 what) const { return int32(Messages(what).size()); }

    std::vector<BMessage> Messages(uint32 what) const
    {
        std::lock_guard guard(fLock);
        std::vector<BMessage> found;
        for (const BMessage& message : fMessages) {
            if (message.what == what)
                found.push_back(message);
        }
        return found;
    }

private:
    mutable std::mutex fLock;
    std::vector<BMessage> fMessages;
};

// A window that records the messages that reach its MessageReceived (and
// then handles them as a window does).
class RecordingWindow : public BWindow {
public:
    explicit RecordingWindow(BRect frame, const char* title = "test")
        : BWindow(frame, title, B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, B_NOT_RESIZABLE)
    {
    }

    void MessageReceived(BMessage* message) override
    {
        fLog.Add(*message);
        BWindow::MessageReceived(message);
    }

    int32 Count(uint32 what) const { return fLog.Count(what); }
    std::vector<BMessage> Messages(uint32 what) const { return fLog.Messages(what); }

private:
    MessageLog fLog;
};

// Owns a window of a test (of any window class): shows it, adds views to
// it, and quits it when the test ends.
template <class Window> class ScopedWindow {
public:
    template <class... Arguments>
    explicit ScopedWindow(Arguments&&... arguments)
        : fWindow(new Window(std::forward<Arguments>(arguments)...))
        , fMessenger(fWindow)
    {
    }

    ~ScopedWindow()
    {
        if (fMessenger.LockTarget())
            fWindow->Quit();
    }

    ScopedWindow(const ScopedWindow&) = delete;
    ScopedWindow& operator=(const ScopedWindow&) = delete;

    Window* operator->() const { return fWindow; }
    Window* Get() const { return fWindow; }

    // Shows the window and waits until it has drawn and is active.
    bool ShowAndSettle()
    {
        fWindow->Show();
        return WaitUntilSettled(fWindow) && WaitUntil([&] { return fWindow->IsActive(); });
    }

private:
    Window* fWindow;
    BMessenger fMessenger;
};

// The application object of a test, its loop running on a thread of its own.
// It records every message that reaches MessageReceived, and hands messages
// of chosen codes, and its pulses, to functions of the test (on the
// application's thread).
class RunningApplication {
public:
    RunningApplication()
    {
        // The thread that makes the application holds its lock until Run(),
        // so both happen on the application's thread.
        std::promise<void> made;
        fThread = std::thread([this, &made] {
            fApplication = new Application(this);
            made.set_value();
            fApplication->Run();
        });
        made.get_future().wait();
        // A round trip, so that the loop runs before the test goes on.
        Sync();
    }

    ~RunningApplication()
    {
        Messenger().SendMessage(B_QUIT_REQUESTED);
        fThread.join();
        delete fApplication;
    }

    BApplication* Get() const { return fApplication; }
    BMessenger Messenger() const { return BMessenger(fApplication); }

    // Must be set before messages of that code arrive.
    void OnMessage(uint32 what, std::function<void(BMessage*)> handler)
    {
        std::lock_guard guard(fLock);
        fHandlers[what] = std::move(handler);
    }
    void OnPulse(std::function<void()> handler)
    {
        std::lock_guard guard(fLock);
        fPulse = std::move(handler);
    }

    int32 Count(uint32 what) const { return fLog.Count(what); }

    bool WaitFor(uint32 what, int32 count = 1, bigtime_t timeout = kDeadline) const
    {
        return WaitUntil([&] { return Count(what) >= count; }, timeout);
    }

    std::vector<BMessage> Messages(uint32 what) const { return fLog.Messages(what); }

    // Waits until every message sent to the application so far is handled.
    void Sync() const
    {
        BMessage reply;
        Messenger().SendMessage(kPing, &reply);
    }

private:
    static constexpr uint32 kPing = '_tpg';

    class Application : public BApplication {
    public:
        explicit Application(RunningApplication* owner)
            : BApplication("application/x-vnd.brenvik-toolkit-test")
            , fOwner(owner)
        {
        }

        void MessageReceived(BMessage* message) override
        {
            if (message->what == kPing)
                return;
            fOwner->fLog.Add(*message);
            std::function<void(BMessage*)> handler;
            {
                std::lock_guard guard(fOwner->fLock);
                auto found = fOwner->fHandlers.find(message->what);
                if (found != fOwner->fHandlers.end())
                    handler = found->second;
            }
            if (handler)
                handler(message);
            else
                BApplication::MessageReceived(message);
        }

        void Pulse() override
        {
            std::function<void()> pulse;
            {
                std::lock_guard guard(fOwner->fLock);
                pulse = fOwner->fPulse;
            }
            if (pulse)
                pulse();
        }

    private:
        RunningApplication* fOwner;
    };

    Application* fApplication = nullptr;
    std::thread fThread;
    MessageLog fLog;
    mutable std::mutex fLock;
    std::map<uint32, std::function<void(BMessage*)>> fHandlers;
    std::function<void()> fPulse;
};

} // namespace brenvik::test
