#include <PopUpMenu.h>

#include <Looper.h>
#include <MenuItem.h>
#include <Messenger.h>
#include <Window.h>

#include <BlockingPoint.h>

#include "Desktop.h"
#include "WindowAccess.h"
#include "WindowPrivate.h"

#include <condition_variable>
#include <memory>
#include <mutex>

namespace {

// The rendezvous of a Go() that waits on another thread than the menu's
// window: shared, so that neither side can outlive it.
struct GoState {
    std::mutex lock;
    std::condition_variable_any condition;
    bool done = false;
    BMenuItem* item = nullptr;
};

// The window a menu pops up in: the caller's own window, else the active
// one, else the front window under `where`.
BWindow* WindowForPopUp(BPoint where)
{
    BLooper* looper = BLooper::LooperForThread(find_thread(nullptr));
    if (BWindow* window = dynamic_cast<BWindow*>(looper))
        return window;
    BPrivate::Desktop& desktop = BPrivate::Desktop::Default();
    for (const BMessenger& messenger : desktop.WindowsFrontToBack()) {
        BLooper* target = nullptr;
        messenger.Target(&target);
        BWindow* window = dynamic_cast<BWindow*>(target);
        if (window != nullptr && window->IsActive())
            return window;
    }
    for (const BMessenger& messenger : desktop.WindowsFrontToBack()) {
        BLooper* target = nullptr;
        messenger.Target(&target);
        BWindow* window = dynamic_cast<BWindow*>(target);
        if (window != nullptr && messenger.LockTarget()) {
            bool inside = window->Frame().Contains(where);
            window->Unlock();
            if (inside)
                return window;
        }
    }
    return nullptr;
}

} // namespace

BPopUpMenu::BPopUpMenu(const char* name, bool radioMode, bool labelFromMarked, menu_layout layout)
    : BMenu(name, layout)
{
    SetRadioMode(radioMode);
    if (labelFromMarked)
        SetLabelFromMarked(true);
}

BPopUpMenu::~BPopUpMenu() = default;

BMenuItem* BPopUpMenu::Go(BPoint where, bool deliversMessage, bool openAnyway, bool async)
{
    return Go(where, deliversMessage, openAnyway, BRect(), async);
}

BMenuItem* BPopUpMenu::Go(
    BPoint where, bool deliversMessage, bool openAnyway, BRect /*clickToOpen*/, bool async)
{
    BWindow* window = WindowForPopUp(where);
    if (window == nullptr || Window() != nullptr)
        return nullptr;

    auto state = std::make_shared<GoState>();
    bool autoDestruct = async && fAutoDestruct;
    auto completion = [this, state, deliversMessage, autoDestruct](BMenuItem* item) {
        if (item != nullptr && deliversMessage)
            item->Invoke();
        {
            std::lock_guard guard(state->lock);
            state->done = true;
            state->item = item;
        }
        state->condition.notify_all();
        if (autoDestruct)
            delete this;
    };

    if (BPrivate::WindowAccess::IsWindowThread(window)) {
        // On the window's own thread the window takes the menu's input here,
        // inside the message being handled, until the menu closes.
        BPoint local = window->ConvertFromScreen(where);
        bool pressed = BPrivate::WindowAccess::MouseButtons(window) != 0;
        (void)openAnyway;
        status_t status
            = BPrivate::WindowAccess::OpenMenu(window, this, local, pressed, completion);
        if (status != B_OK || async)
            return nullptr;
        BPrivate::WindowAccess::RunNestedInputLoop(window, [&] {
            std::lock_guard guard(state->lock);
            return state->done;
        });
        return state->item;
    }

    // From another thread the window opens the menu on its own thread, and
    // this thread waits.
    BMessenger messenger(window);
    BMessage open(BPrivate::kMsgOpenMenu);
    open.AddPointer("menu", this);
    open.AddPoint("where", where);
    open.AddPointer("completion", new BPrivate::MenuTracker::Completion(completion));
    if (messenger.SendMessage(&open) != B_OK)
        return nullptr;
    if (async)
        return nullptr;
    std::unique_lock lock(state->lock);
    while (!state->done) {
        BPrivate::WaitInterruptibly(
            state->condition, lock, system_time() + 100000, [&] { return state->done; });
        if (!state->done && !messenger.IsValid())
            return nullptr;
    }
    return state->item;
}

void BPopUpMenu::SetAsyncAutoDestruct(bool state)
{
    fAutoDestruct = state;
}

bool BPopUpMenu::AsyncAutoDestruct() const
{
    return fAutoDestruct;
}
