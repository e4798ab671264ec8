#include <Autolock.h>
#include <Locker.h>

#include <BlockingPoint.h>

#include <WaitUntil.h>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

namespace {

using brenvik::test::WaitUntil;

TEST(LockerTest, IsRecursiveForItsOwner)
{
    BLocker locker("recursive");
    EXPECT_FALSE(locker.IsLocked());
    ASSERT_TRUE(locker.Lock());
    ASSERT_TRUE(locker.Lock());
    EXPECT_EQ(locker.CountLocks(), 2);
    EXPECT_EQ(locker.LockingThread(), find_thread(nullptr));
    locker.Unlock();
    EXPECT_TRUE(locker.IsLocked());
    locker.Unlock();
    EXPECT_FALSE(locker.IsLocked());
    EXPECT_EQ(locker.LockingThread(), -1);
}

TEST(LockerTest, OtherThreadsWaitOrTimeOut)
{
    BLocker locker;
    locker.Lock();
    std::atomic<status_t> result { B_OK };
    std::thread other([&] { result = locker.LockWithTimeout(1000); });
    other.join();
    EXPECT_EQ(result.load(), B_TIMED_OUT);

    std::atomic<bool> got { false };
    std::thread waiter([&] {
        BAutolock autolock(locker);
        got = autolock.IsLocked();
    });
    snooze(1000);
    EXPECT_FALSE(got);
    locker.Unlock();
    waiter.join();
    EXPECT_TRUE(got);
}

TEST(LockerTest, UnlockByAnotherThreadIsIgnored)
{
    BLocker locker;
    locker.Lock();
    std::thread other([&] { locker.Unlock(); });
    other.join();
    EXPECT_TRUE(locker.IsLocked());
    locker.Unlock();
}

struct KillData {
    BLocker* locker;
    std::atomic<bool> holding { false };
};

TEST(LockerTest, AKilledThreadReleasesWhatItHeld)
{
    // The thread takes the lock twice without any RAII holder and is killed
    // while blocked elsewhere: the lock must still become free.
    auto locker = std::make_unique<BLocker>("held by victim");
    KillData data { locker.get() };
    thread_id victim = spawn_thread(
        [](void* raw) -> status_t {
            auto* d = static_cast<KillData*>(raw);
            d->locker->Lock();
            d->locker->Lock();
            d->holding = true;
            snooze(B_INFINITE_TIMEOUT);
            return B_OK;
        },
        "victim", B_NORMAL_PRIORITY, &data);
    resume_thread(victim);
    ASSERT_TRUE(WaitUntil([&] { return data.holding.load(); }));
    EXPECT_EQ(locker->LockWithTimeout(1000), B_TIMED_OUT);
    kill_thread(victim);
    wait_for_thread(victim, nullptr);
    EXPECT_EQ(locker->LockWithTimeout(1000000), B_OK);
    locker->Unlock();
}

TEST(LockerTest, AKilledWaiterLeavesTheLockToItsOwner)
{
    BLocker locker;
    locker.Lock();
    KillData data { &locker };
    thread_id waiter = spawn_thread(
        [](void* raw) -> status_t {
            static_cast<KillData*>(raw)->locker->Lock();
            return B_OK;
        },
        "waiter", B_NORMAL_PRIORITY, &data);
    resume_thread(waiter);
    ASSERT_TRUE(WaitUntil([&] { return locker.CountLockRequests() == 2; }));
    kill_thread(waiter);
    status_t exitValue = B_OK;
    wait_for_thread(waiter, &exitValue);
    EXPECT_EQ(exitValue, B_INTERRUPTED);
    EXPECT_TRUE(locker.IsLocked());
    EXPECT_EQ(locker.CountLockRequests(), 1);
    locker.Unlock();
}

} // namespace
