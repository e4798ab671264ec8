#include "DelayedMessage.h"

#include <chrono>

namespace {

constexpr bigtime_t kSendAttempt = 100000;

} // namespace

DelayedMessage::~DelayedMessage()
{
    Cancel();
}

void DelayedMessage::Cancel()
{
    {
        std::lock_guard guard(fLock);
        fCancelled = true;
    }
    fWake.notify_all();
    if (fThread.joinable())
        fThread.join();
}

void DelayedMessage::Start(const BMessenger& target, const BMessage& message, bigtime_t delay)
{
    Cancel();
    fCancelled = false;
    fThread = std::thread([this, target, message, delay] {
        std::unique_lock lock(fLock);
        if (fWake.wait_for(lock, std::chrono::microseconds(delay), [this] { return fCancelled; }))
            return;
        lock.unlock();
        // The target's queue may be full while its thread waits for this
        // one to end (Cancel): the sending gives way to a cancel.
        for (;;) {
            BMessage copy(message);
            status_t status
                = target.SendMessage(&copy, static_cast<BHandler*>(nullptr), kSendAttempt);
            if (status != B_TIMED_OUT && status != B_WOULD_BLOCK)
                return;
            lock.lock();
            bool cancelled = fCancelled;
            lock.unlock();
            if (cancelled)
                return;
        }
    });
}
