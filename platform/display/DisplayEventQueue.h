#pragma once

// DisplayEventQueue: the events of one window (or of the program), filled by
// the display side and drained by the interface kit on the window's own
// thread. Every call is thread-safe.

#include <DisplayEvent.h>

#include <OS.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace BPrivate {

class DisplayEventQueue {
public:
    DisplayEventQueue() = default;
    DisplayEventQueue(const DisplayEventQueue&) = delete;
    DisplayEventQueue& operator=(const DisplayEventQueue&) = delete;

    // Adds an event and calls the notifier. A mouse movement directly after
    // another one with the same buttons replaces it, so that a slow window
    // does not fall behind the pointer. Events pushed after Close() are
    // dropped.
    void Push(DisplayEvent event);

    bool Pop(DisplayEvent* event);
    std::vector<DisplayEvent> PopAll();
    int32 Count() const;

    // Waits until an event is queued (B_OK), the deadline (a system_time()
    // value or B_INFINITE_TIMEOUT) passes (B_TIMED_OUT) or the queue is
    // closed (B_CANCELED).
    status_t WaitForEvent(bigtime_t deadline);

    // The notifier runs on the pushing thread (for the SDL backend, the
    // display thread) after each push. It must only wake the window's thread
    // (for example by posting it a message): it must not draw, lock the
    // window, or call back into this queue. Once SetNotifier returns, the
    // previous notifier is not running and will not run again.
    void SetNotifier(std::function<void()> notifier);

    // Wakes every waiter and stops accepting events.
    void Close();
    bool IsClosed() const;

private:
    mutable std::mutex fLock;
    std::condition_variable_any fCondition;
    std::deque<DisplayEvent> fEvents;
    bool fClosed = false;

    std::mutex fNotifierLock;
    std::function<void()> fNotifier;
};

} // namespace BPrivate
