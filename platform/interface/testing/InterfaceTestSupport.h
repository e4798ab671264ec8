#pragma once

// Helpers of the interface kit's tests: windows shown on the headless
// display, input injected through it, waits with deadlines, and the pixels
// of a window as an image for golden comparisons. The tests of the kit and of
// everything above it use them (target platform_interface_testing).

#include <DisplayBackend.h>
#include <GoldenImage.h>
#include <ListView.h>
#include <Looper.h>
#include <Menu.h>
#include <MenuItem.h>
#include <Messenger.h>
#include <View.h>
#include <WaitUntil.h>
#include <Window.h>
#include <WindowState.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

class BListItem;

namespace brenvik::test {

// Every test program of this folder draws on the headless display and runs
// no UI script of its own; this is set before the display is first used.
struct HeadlessDisplay {
    HeadlessDisplay()
    {
        setenv("BRENVIK_DISPLAY", "headless", 1);
        unsetenv("BRENVIK_UI_SCRIPT");
    }
};
inline HeadlessDisplay sHeadlessDisplay;

constexpr bigtime_t kDeadline = 10000000;

using BPrivate::kCommandKey;
using BPrivate::kPrimaryButton;
using BPrivate::kShiftKey;

// Runs `function` with the window locked.
inline void WithLock(BWindow* window, const std::function<void()>& function)
{
    window->Lock();
    function();
    window->Unlock();
}

// Waits until the window has handled what was queued and drawn what was
// invalid.
inline bool WaitUntilSettled(BWindow* window, bigtime_t timeout = kDeadline)
{
    return WaitUntil(
        [&] {
            // A round trip through the queue first, so that what the display
            // queued has been taken.
            BMessage reply;
            BMessenger(window).SendMessage('_png', &reply);
            bool settled = false;
            WithLock(window, [&] { settled = BPrivate::IsWindowSettled(window); });
            return settled;
        },
        timeout);
}

inline BPrivate::DisplayBackend& Display()
{
    return BPrivate::DisplayBackend::Default();
}

inline int32 DisplayId(BWindow* window)
{
    return BPrivate::WindowDisplayId(window);
}

// The center of a view in its window's coordinates.
inline BPoint CenterOf(BView* view)
{
    BPoint center;
    WithLock(view->Window(), [&] {
        BRect bounds = view->Bounds();
        BPoint local((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);
        center = view->Window()->ConvertFromScreen(view->ConvertToScreen(local));
    });
    return center;
}

// The window's pixels.
RgbaImage Snapshot(BWindow* window);

// The windows of the program, those shown from front to back, or all of them
// (also those hidden or closing).
std::vector<BMessenger> WindowsFrontToBack();
std::vector<BMessenger> AllWindows();

// With the window locked: whether a menu is open in it.
bool MenuIsOpen(BWindow* window);

// The middle of row `row` of a list view shown in `window`, in the window's
// coordinates (where a click on the row goes).
BPoint ListRowCenter(BWindow* window, BListView* list, int32 row);
// The list's selected rows, in order.
std::vector<int32> ListSelection(BWindow* window, BListView* list);
// Deletes the list's items, which a list view does not own.
void DeleteListItems(BWindow* window, BListView* list);

// The name of the entry a row of a file panel's list shows.
const char* PanelEntryName(BListItem* row);

// A window on the headless display for a test, quit when the test ends.
class TestWindow {
public:
    explicit TestWindow(BRect frame, const char* title = "test", uint32 flags = B_NOT_RESIZABLE,
        window_look look = B_TITLED_WINDOW_LOOK, window_feel feel = B_NORMAL_WINDOW_FEEL)
        : fWindow(new BWindow(frame, title, look, feel, flags))
        , fMessenger(fWindow)
    {
    }

    ~TestWindow()
    {
        if (fMessenger.LockTarget())
            fWindow->Quit();
    }

    BWindow* operator->() const { return fWindow; }
    BWindow* Get() const { return fWindow; }

    // Adds a view: before Show() the constructing thread holds the window.
    void Add(BView* view)
    {
        if (fShown)
            WithLock(fWindow, [&] { fWindow->AddChild(view); });
        else
            fWindow->AddChild(view);
    }

    void Show()
    {
        fWindow->Show();
        fShown = true;
    }

private:
    BWindow* fWindow;
    BMessenger fMessenger;
    bool fShown = false;
};

// A list view does not own its items; this one (a BListView or a class
// derived from it) lets them go with it.
template <class List = BListView> class OwningListView : public List {
public:
    using List::List;
    ~OwningListView() override
    {
        for (int32 i = this->CountItems() - 1; i >= 0; i--)
            delete this->RemoveItem(i);
    }
};

// A looper that records the messages it receives.
class MessageRecorder {
public:
    MessageRecorder()
        : fLooper(new Looper)
    {
        fLooper->Run();
    }

    ~MessageRecorder()
    {
        fLooper->Lock();
        fLooper->Quit();
    }

    BMessenger Messenger() const { return BMessenger(fLooper); }
    BLooper* Target() const { return fLooper; }

    // Counts after a round trip through the recorder's queue, so that what
    // was sent to it before the call (by a window that has settled) counts,
    // also when the answer expected is 0.
    int32 Count(uint32 what) const
    {
        BMessage reply;
        BMessenger(fLooper).SendMessage(kSync, &reply);
        std::lock_guard guard(fLooper->fLock);
        int32 count = 0;
        for (const BMessage& message : fLooper->fMessages)
            count += message.what == what ? 1 : 0;
        return count;
    }

    bool WaitFor(uint32 what, int32 count = 1, bigtime_t timeout = kDeadline) const
    {
        return WaitUntil([&] { return Count(what) >= count; }, timeout);
    }

    // A copy of the last message with that code (an empty one when none).
    BMessage Last(uint32 what) const
    {
        std::lock_guard guard(fLooper->fLock);
        for (auto message = fLooper->fMessages.rbegin(); message != fLooper->fMessages.rend();
             message++) {
            if (message->what == what)
                return *message;
        }
        return BMessage();
    }

private:
    static constexpr uint32 kSync = '_syn';

    class Looper : public BLooper {
    public:
        Looper()
            : BLooper("recorder")
        {
        }

        void MessageReceived(BMessage* message) override
        {
            if (message->what == kSync)
                return;
            std::lock_guard guard(fLock);
            fMessages.push_back(*message);
        }

        mutable std::mutex fLock;
        std::vector<BMessage> fMessages;
    };

    Looper* fLooper;
};

// The open menu of a window and the window point of one of its items, once
// the menu is up.
bool WaitForOpenMenu(BWindow* window, const char* label, BPoint* where);

} // namespace brenvik::test
