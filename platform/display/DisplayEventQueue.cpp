#include <DisplayEventQueue.h>

#include <BlockingPoint.h>

namespace BPrivate {

void DisplayEventQueue::Push(DisplayEvent event)
{
    {
        std::lock_guard<std::mutex> lock(fLock);
        if (fClosed)
            return;
        if (event.when == 0)
            event.when = system_time();
        // A move replaces the move before it that is still waiting, if the
        // buttons and modifiers are the same.
        DisplayEvent* last = fEvents.empty() ? nullptr : &fEvents.back();
        if (event.type == DisplayEventType::kMouseMoved && last != nullptr
            && last->type == DisplayEventType::kMouseMoved && last->buttons == event.buttons
            && last->modifiers == event.modifiers)
            *last = std::move(event);
        else
            fEvents.push_back(std::move(event));
    }
    fCondition.notify_all();
    std::lock_guard<std::mutex> notifierLock(fNotifierLock);
    if (fNotifier)
        fNotifier();
}

bool DisplayEventQueue::Pop(DisplayEvent* event)
{
    std::lock_guard<std::mutex> lock(fLock);
    if (fEvents.empty())
        return false;
    *event = std::move(fEvents.front());
    fEvents.pop_front();
    return true;
}

std::vector<DisplayEvent> DisplayEventQueue::PopAll()
{
    std::lock_guard<std::mutex> lock(fLock);
    std::vector<DisplayEvent> events(
        std::make_move_iterator(fEvents.begin()), std::make_move_iterator(fEvents.end()));
    fEvents.clear();
    return events;
}

int32 DisplayEventQueue::Count() const
{
    std::lock_guard<std::mutex> lock(fLock);
    return int32(fEvents.size());
}

status_t DisplayEventQueue::WaitForEvent(bigtime_t deadline)
{
    std::unique_lock<std::mutex> lock(fLock);
    status_t status = WaitInterruptibly(
        fCondition, lock, deadline, [&] { return fClosed || !fEvents.empty(); });
    if (status != B_OK)
        return status;
    return fEvents.empty() ? B_CANCELED : B_OK;
}

void DisplayEventQueue::SetNotifier(std::function<void()> notifier)
{
    std::lock_guard<std::mutex> lock(fNotifierLock);
    fNotifier = std::move(notifier);
}

void DisplayEventQueue::Close()
{
    {
        std::lock_guard<std::mutex> lock(fLock);
        fClosed = true;
    }
    fCondition.notify_all();
}

bool DisplayEventQueue::IsClosed() const
{
    std::lock_guard<std::mutex> lock(fLock);
    return fClosed;
}

} // namespace BPrivate
