#pragma once

// A message sent to a handler after a delay, unless the timer is started
// anew or goes away first. The timer's thread never outlives it: the
// destructor wakes and joins it, so nothing is sent to a window that has
// gone.

#include <Message.h>
#include <Messenger.h>

#include <condition_variable>
#include <mutex>
#include <thread>

class DelayedMessage {
public:
    DelayedMessage() = default;
    ~DelayedMessage();
    DelayedMessage(const DelayedMessage&) = delete;
    DelayedMessage& operator=(const DelayedMessage&) = delete;

    // Sends `message` to `target` after `delay` microseconds; a message
    // started earlier and not sent yet is dropped.
    void Start(const BMessenger& target, const BMessage& message, bigtime_t delay);
    void Cancel();

private:
    std::mutex fLock;
    std::condition_variable fWake;
    bool fCancelled = false;
    std::thread fThread;
};
