#include "FirstFrame.h"

#include <DisplayBackend.h>
#include <Messenger.h>
#include <OS.h>
#include <Window.h>
#include <WindowState.h>

namespace brenvik::gallery {

status_t WaitUntilPresented(BWindow* window, bigtime_t timeout, int32* displayId)
{
    BMessenger messenger(window);
    bigtime_t deadline = system_time() + timeout;
    BPrivate::DisplayBackend& display = BPrivate::DisplayBackend::Default();
    while (true) {
        // A round trip through the window's queue first, so that what the
        // display queued for it has been taken.
        BMessage reply;
        if (messenger.SendMessage('_png', &reply) != B_OK)
            return B_BAD_VALUE;
        bool settled = false;
        int32 id = -1;
        if (!messenger.LockTarget())
            return B_BAD_VALUE;
        settled = !window->IsHidden() && BPrivate::IsWindowSettled(window);
        id = BPrivate::WindowDisplayId(window);
        window->Unlock();
        if (settled) {
            std::shared_ptr<BPrivate::DisplayWindow> shown = display.FindWindow(id);
            if (shown && shown->CountPresents() > 0) {
                bigtime_t left = deadline - system_time();
                status_t status = display.Sync(left > 0 ? left : 0);
                if (status != B_OK)
                    return status;
                if (displayId != nullptr)
                    *displayId = id;
                return B_OK;
            }
        }
        if (system_time() > deadline)
            return B_TIMED_OUT;
        snooze(500);
    }
}

} // namespace brenvik::gallery
