// BWindow: the record of input events that are queued but not handled yet.
//
// Input reaches a window as ordinary messages in its queue. The window also
// keeps a note of each such event, so that a view running a drag loop on the
// window's thread (GetMouse in a loop, the platform's way of tracking a
// press) can read the moves and the release ahead of the queue. An event
// read ahead is marked, and dropped when its message comes up, as the
// platform does when GetMouse takes events out of the queue. The same notes
// let a menu opened synchronously on the window's thread take its input
// without going back to the message loop.

#include <Window.h>

#include <BlockingPoint.h>

#include "Desktop.h"
#include "WindowLink.h"
#include "WindowPrivate.h"

using BPrivate::kInputSequenceField;

namespace {

bool IsMouseEvent(uint32 what)
{
    return what == B_MOUSE_DOWN || what == B_MOUSE_UP || what == B_MOUSE_MOVED;
}

} // namespace

status_t BWindow::PostInput(BMessage* message)
{
    if (message == nullptr)
        return B_BAD_VALUE;
    PendingInput record {};
    {
        std::lock_guard guard(fInputLock);
        record.sequence = ++fNextInputSequence;
        message->RemoveName(kInputSequenceField);
        message->AddInt64(kInputSequenceField, record.sequence);
        record.what = message->what;
        message->FindPoint("where", &record.where);
        int32 buttons = 0;
        message->FindInt32("buttons", &buttons);
        record.buttons = uint32(buttons);
        record.consumed = false;
        record.unposted = false;
        record.message = std::make_shared<BMessage>(*message);
        fPendingInput.push_back(record);
    }
    int32 modifiers = 0;
    if (message->FindInt32("modifiers", &modifiers) == B_OK)
        BPrivate::Desktop::Default().SetModifiers(uint32(modifiers));
    status_t status = BMessenger(this).SendMessage(message, static_cast<BHandler*>(nullptr), 0);
    if (status == B_WOULD_BLOCK || status == B_TIMED_OUT) {
        // The queue is full: the note carries the event until it can be
        // handled between messages.
        std::lock_guard guard(fInputLock);
        for (PendingInput& entry : fPendingInput) {
            if (entry.sequence == record.sequence)
                entry.unposted = true;
        }
        return B_OK;
    }
    if (status != B_OK) {
        std::lock_guard guard(fInputLock);
        std::erase_if(fPendingInput,
            [&](const PendingInput& entry) { return entry.sequence == record.sequence; });
    }
    return status;
}

bool BWindow::TakePendingInput(BMessage* message)
{
    int64 sequence = 0;
    if (message->FindInt64(kInputSequenceField, &sequence) != B_OK) {
        // Posted by the program itself rather than by the display: nothing
        // was noted, and it is handled as it is.
        if (IsMouseEvent(message->what)) {
            std::lock_guard guard(fInputLock);
            message->FindPoint("where", &fMouse.where);
            int32 buttons = 0;
            if (message->FindInt32("buttons", &buttons) == B_OK)
                fMouse.buttons = uint32(buttons);
        }
        return true;
    }
    message->RemoveName(kInputSequenceField);
    std::lock_guard guard(fInputLock);
    for (auto entry = fPendingInput.begin(); entry != fPendingInput.end(); entry++) {
        if (entry->sequence != sequence)
            continue;
        bool consumed = entry->consumed;
        if (!consumed && IsMouseEvent(entry->what)) {
            fMouse.where = entry->where;
            fMouse.buttons = entry->buttons;
        }
        fPendingInput.erase(entry);
        return !consumed;
    }
    return true;
}

bool BWindow::ReadAheadMouse(MouseState* state)
{
    DrainDisplayEvents();
    std::lock_guard guard(fInputLock);
    for (PendingInput& entry : fPendingInput) {
        if (entry.consumed || !IsMouseEvent(entry.what))
            continue;
        // A new press starts a new gesture: it and what follows it are left
        // for the message loop.
        if (entry.what == B_MOUSE_DOWN)
            return false;
        entry.consumed = true;
        fMouse.where = entry.where;
        fMouse.buttons = entry.buttons;
        *state = fMouse;
        return true;
    }
    return false;
}

BWindow::MouseState BWindow::LatestMouse() const
{
    std::lock_guard guard(fInputLock);
    MouseState state = fMouse;
    for (const PendingInput& entry : fPendingInput) {
        if (!entry.consumed && IsMouseEvent(entry.what)) {
            state.where = entry.where;
            state.buttons = entry.buttons;
        }
    }
    return state;
}

void BWindow::RunNestedInputLoop(const std::function<bool()>& done)
{
    // Runs on the window's thread, inside the handling of a message: input
    // is taken from the notes (and marked so the queue does not deliver it
    // again) and the window keeps drawing; other messages wait. While it
    // waits for input the window's lock is given up, so that other threads
    // (the UI driver among them) can look at the window meanwhile.
    while (!done()) {
        UpdateIfNeeded();
        PresentPending();
        DrainDisplayEvents();
        std::shared_ptr<const BMessage> next;
        {
            std::lock_guard guard(fInputLock);
            for (PendingInput& entry : fPendingInput) {
                if (entry.consumed)
                    continue;
                entry.consumed = true;
                if (IsMouseEvent(entry.what)) {
                    fMouse.where = entry.where;
                    fMouse.buttons = entry.buttons;
                }
                next = entry.message;
                break;
            }
        }
        if (next != nullptr) {
            BMessage copy(*next);
            copy.RemoveName(kInputSequenceField);
            DispatchInput(&copy);
            continue;
        }
        int32 locks = CountLocks();
        for (int32 i = 0; i < locks; i++)
            Unlock();
        fLink->WaitForEvents(system_time() + 50000);
        for (int32 i = 0; i < locks; i++)
            Lock();
        BPrivate::thread_checkpoint();
    }
    UpdateIfNeeded();
    PresentPending();
}
