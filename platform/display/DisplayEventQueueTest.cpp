#include <DisplayEventQueue.h>

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace BPrivate;

namespace {

DisplayEvent Event(DisplayEventType type, float x = 0, uint32 buttons = 0)
{
    DisplayEvent event;
    event.type = type;
    event.where = BPoint(x, 0);
    event.buttons = buttons;
    return event;
}

TEST(DisplayEventQueueTest, EventsComeOutInOrder)
{
    DisplayEventQueue queue;
    queue.Push(Event(DisplayEventType::kMouseDown, 1));
    queue.Push(Event(DisplayEventType::kMouseUp, 2));
    queue.Push(Event(DisplayEventType::kKeyDown, 3));
    EXPECT_EQ(queue.Count(), 3);
    DisplayEvent event;
    ASSERT_TRUE(queue.Pop(&event));
    EXPECT_EQ(event.type, DisplayEventType::kMouseDown);
    EXPECT_GT(event.when, 0) << "the time is filled in";
    std::vector<DisplayEvent> rest = queue.PopAll();
    ASSERT_EQ(rest.size(), 2u);
    EXPECT_EQ(rest[0].type, DisplayEventType::kMouseUp);
    EXPECT_EQ(rest[1].type, DisplayEventType::kKeyDown);
    EXPECT_FALSE(queue.Pop(&event));
}

TEST(DisplayEventQueueTest, ConsecutiveMovesWithTheSameButtonsMerge)
{
    DisplayEventQueue queue;
    queue.Push(Event(DisplayEventType::kMouseMoved, 1));
    queue.Push(Event(DisplayEventType::kMouseMoved, 2));
    queue.Push(Event(DisplayEventType::kMouseMoved, 3, kPrimaryButton));
    queue.Push(Event(DisplayEventType::kMouseDown, 3, kPrimaryButton));
    queue.Push(Event(DisplayEventType::kMouseMoved, 4, kPrimaryButton));
    std::vector<DisplayEvent> events = queue.PopAll();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].where.x, 2);
    EXPECT_EQ(events[1].where.x, 3);
    EXPECT_EQ(events[2].type, DisplayEventType::kMouseDown);
    EXPECT_EQ(events[3].where.x, 4);
}

TEST(DisplayEventQueueTest, WaitingEndsWithAnEventATimeOutOrClosing)
{
    DisplayEventQueue queue;
    EXPECT_EQ(queue.WaitForEvent(system_time() + 1000), B_TIMED_OUT);
    std::thread producer([&] { queue.Push(Event(DisplayEventType::kKeyDown)); });
    EXPECT_EQ(queue.WaitForEvent(system_time() + 10000000), B_OK);
    producer.join();
    queue.PopAll();
    std::thread closer([&] { queue.Close(); });
    EXPECT_EQ(queue.WaitForEvent(B_INFINITE_TIMEOUT), B_CANCELED);
    closer.join();
    queue.Push(Event(DisplayEventType::kKeyDown));
    EXPECT_EQ(queue.Count(), 0) << "a closed queue takes nothing";
    EXPECT_TRUE(queue.IsClosed());
}

TEST(DisplayEventQueueTest, TheNotifierRunsAfterEachPushUntilReplaced)
{
    DisplayEventQueue queue;
    std::atomic<int> calls { 0 };
    queue.SetNotifier([&] {
        EXPECT_GT(queue.Count(), 0) << "the event is queued before the notice";
        calls++;
    });
    queue.Push(Event(DisplayEventType::kKeyDown));
    queue.Push(Event(DisplayEventType::kKeyUp));
    EXPECT_EQ(calls, 2);
    queue.SetNotifier(nullptr);
    queue.Push(Event(DisplayEventType::kKeyDown));
    EXPECT_EQ(calls, 2);
}

TEST(DisplayEventQueueTest, ManyProducersAndOneConsumerLoseNothing)
{
    DisplayEventQueue queue;
    constexpr int kProducers = 4;
    constexpr int kEach = 500;
    std::atomic<int> notified { 0 };
    queue.SetNotifier([&] { notified++; });
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; p++) {
        producers.emplace_back([&, p] {
            for (int i = 0; i < kEach; i++)
                queue.Push(Event(DisplayEventType::kKeyDown, float(p * kEach + i)));
        });
    }
    std::vector<bool> seen(kProducers * kEach, false);
    int received = 0;
    while (received < kProducers * kEach) {
        ASSERT_EQ(queue.WaitForEvent(system_time() + 10000000), B_OK);
        for (const DisplayEvent& event : queue.PopAll()) {
            seen[size_t(event.where.x)] = true;
            received++;
        }
    }
    for (std::thread& producer : producers)
        producer.join();
    EXPECT_EQ(std::count(seen.begin(), seen.end(), true), kProducers * kEach);
    EXPECT_EQ(notified, kProducers * kEach);
}

} // namespace
