#include <OS.h>

#include <BlockingPoint.h>

#include <WaitUntil.h>
#include <atomic>
#include <cstring>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

namespace {

// Polls until `condition` holds or a generous deadline passes; the tests wait
// for other threads to reach a state without fixed sleeps.
using brenvik::test::WaitUntil;

thread_state StateOf(thread_id thread)
{
    thread_info info;
    if (get_thread_info(thread, &info) != B_OK)
        return thread_state(0);
    return info.state;
}

struct Flags {
    std::atomic<bool> started { false };
    std::atomic<bool> destroyed { false };
    std::atomic<bool> finished { false };
    std::atomic<bool> stop { false };
    sem_id sem = -1;
};

struct SetOnDestroy {
    std::atomic<bool>& flag;
    ~SetOnDestroy() { flag = true; }
};

status_t ReturnSeven(void*)
{
    return 7;
}

TEST(ThreadTest, SpawnedThreadWaitsSuspendedUntilResumed)
{
    Flags flags;
    thread_id thread = spawn_thread(
        [](void* data) -> status_t {
            static_cast<Flags*>(data)->started = true;
            return 3;
        },
        "suspended", B_NORMAL_PRIORITY, &flags);
    ASSERT_GT(thread, 0);
    EXPECT_EQ(StateOf(thread), B_THREAD_SUSPENDED);
    EXPECT_FALSE(flags.started);
    EXPECT_EQ(resume_thread(thread), B_OK);
    status_t exitValue = 0;
    EXPECT_EQ(wait_for_thread(thread, &exitValue), B_OK);
    EXPECT_TRUE(flags.started);
    EXPECT_EQ(exitValue, 3);
    EXPECT_EQ(get_thread_info(thread, nullptr), B_BAD_VALUE);
    thread_info info;
    EXPECT_EQ(get_thread_info(thread, &info), B_BAD_THREAD_ID);
}

TEST(ThreadTest, WaitingForANeverResumedThreadStartsIt)
{
    thread_id thread = spawn_thread(ReturnSeven, "unresumed", B_NORMAL_PRIORITY, nullptr);
    status_t exitValue = 0;
    EXPECT_EQ(wait_for_thread(thread, &exitValue), B_OK);
    EXPECT_EQ(exitValue, 7);
}

TEST(ThreadTest, InfoReportsNameTeamAndPriority)
{
    Flags flags;
    flags.sem = create_sem(0, "gate");
    thread_id thread = spawn_thread(
        [](void* data) -> status_t { return acquire_sem(static_cast<Flags*>(data)->sem); },
        "install", 10, &flags);
    resume_thread(thread);
    ASSERT_TRUE(WaitUntil([&] { return StateOf(thread) == B_THREAD_WAITING; }));
    thread_info info;
    ASSERT_EQ(get_thread_info(thread, &info), B_OK);
    EXPECT_STREQ(info.name, "install");
    EXPECT_EQ(info.team, getpid());
    EXPECT_EQ(info.priority, 10);
    EXPECT_EQ(find_thread("install"), thread);
    EXPECT_EQ(set_thread_priority(thread, 15), 10);
    release_sem(flags.sem);
    status_t exitValue = -1;
    EXPECT_EQ(wait_for_thread(thread, &exitValue), B_OK);
    EXPECT_EQ(exitValue, B_OK);
    delete_sem(flags.sem);
}

TEST(ThreadTest, StatesFollowWhatTheThreadDoes)
{
    Flags flags;
    flags.sem = create_sem(0, "gate");
    thread_id thread = spawn_thread(
        [](void* data) -> status_t {
            auto* f = static_cast<Flags*>(data);
            acquire_sem(f->sem);
            snooze(B_INFINITE_TIMEOUT);
            return B_OK;
        },
        "states", B_NORMAL_PRIORITY, &flags);
    resume_thread(thread);
    EXPECT_TRUE(WaitUntil([&] { return StateOf(thread) == B_THREAD_WAITING; }));
    release_sem(flags.sem);
    EXPECT_TRUE(WaitUntil([&] { return StateOf(thread) == B_THREAD_ASLEEP; }));
    EXPECT_EQ(kill_thread(thread), B_OK);
    status_t exitValue = 0;
    EXPECT_EQ(wait_for_thread(thread, &exitValue), B_OK);
    EXPECT_EQ(exitValue, B_INTERRUPTED);
    delete_sem(flags.sem);
}

TEST(ThreadTest, KillUnwindsABlockedThreadRunningItsDestructors)
{
    Flags flags;
    flags.sem = create_sem(0, "never released");
    thread_id thread = spawn_thread(
        [](void* data) -> status_t {
            auto* f = static_cast<Flags*>(data);
            SetOnDestroy guard { f->destroyed };
            f->started = true;
            acquire_sem(f->sem);
            f->finished = true;
            return B_OK;
        },
        "blocked", B_NORMAL_PRIORITY, &flags);
    resume_thread(thread);
    ASSERT_TRUE(WaitUntil([&] { return StateOf(thread) == B_THREAD_WAITING; }));
    EXPECT_EQ(kill_thread(thread), B_OK);
    status_t exitValue = 0;
    EXPECT_EQ(wait_for_thread(thread, &exitValue), B_OK);
    EXPECT_TRUE(flags.destroyed);
    EXPECT_FALSE(flags.finished);
    EXPECT_EQ(kill_thread(thread), B_BAD_THREAD_ID);
    delete_sem(flags.sem);
}

TEST(ThreadTest, KillStopsAComputingThreadAtItsNextCheckpoint)
{
    Flags flags;
    thread_id thread = spawn_thread(
        [](void* data) -> status_t {
            auto* f = static_cast<Flags*>(data);
            f->started = true;
            for (;;)
                BPrivate::thread_checkpoint();
        },
        "busy", B_NORMAL_PRIORITY, &flags);
    resume_thread(thread);
    ASSERT_TRUE(WaitUntil([&] { return flags.started.load(); }));
    EXPECT_EQ(StateOf(thread), B_THREAD_RUNNING);
    kill_thread(thread);
    status_t exitValue = 0;
    EXPECT_EQ(wait_for_thread(thread, &exitValue), B_OK);
    EXPECT_EQ(exitValue, B_INTERRUPTED);
}

TEST(ThreadTest, KillingANeverResumedThreadEndsItWithoutRunningIt)
{
    Flags flags;
    thread_id thread = spawn_thread(
        [](void* data) -> status_t {
            static_cast<Flags*>(data)->started = true;
            return B_OK;
        },
        "never run", B_NORMAL_PRIORITY, &flags);
    EXPECT_EQ(kill_thread(thread), B_OK);
    status_t exitValue = 0;
    EXPECT_EQ(wait_for_thread(thread, &exitValue), B_OK);
    EXPECT_FALSE(flags.started);
}

TEST(ThreadTest, SuspendParksAtACheckpointUntilResumed)
{
    Flags flags;
    std::atomic<int> loops { 0 };
    struct Data {
        Flags* flags;
        std::atomic<int>* loops;
    } data { &flags, &loops };
    thread_id thread = spawn_thread(
        [](void* raw) -> status_t {
            auto* d = static_cast<Data*>(raw);
            while (!d->flags->stop) {
                (*d->loops)++;
                BPrivate::thread_checkpoint();
            }
            return 5;
        },
        "suspendable", B_NORMAL_PRIORITY, &data);
    resume_thread(thread);
    ASSERT_TRUE(WaitUntil([&] { return loops.load() > 0; }));
    EXPECT_EQ(suspend_thread(thread), B_OK);
    ASSERT_TRUE(WaitUntil([&] { return StateOf(thread) == B_THREAD_SUSPENDED; }));
    int parkedAt = loops.load();
    snooze(20000);
    EXPECT_EQ(loops.load(), parkedAt);
    EXPECT_EQ(resume_thread(thread), B_OK);
    ASSERT_TRUE(WaitUntil([&] { return loops.load() > parkedAt; }));
    flags.stop = true;
    status_t exitValue = 0;
    EXPECT_EQ(wait_for_thread(thread, &exitValue), B_OK);
    EXPECT_EQ(exitValue, 5);
}

TEST(ThreadTest, ExitThreadSetsTheExitValue)
{
    thread_id thread = spawn_thread(
        [](void*) -> status_t { exit_thread(42); }, "exiting", B_NORMAL_PRIORITY, nullptr);
    resume_thread(thread);
    status_t exitValue = 0;
    EXPECT_EQ(wait_for_thread(thread, &exitValue), B_OK);
    EXPECT_EQ(exitValue, 42);
}

TEST(ThreadTest, BadIdsAreRefused)
{
    EXPECT_EQ(resume_thread(-5), B_BAD_THREAD_ID);
    EXPECT_EQ(kill_thread(999999), B_BAD_THREAD_ID);
    EXPECT_EQ(wait_for_thread(999999, nullptr), B_BAD_THREAD_ID);
    EXPECT_EQ(spawn_thread(nullptr, "x", 10, nullptr), B_BAD_VALUE);
    EXPECT_EQ(wait_for_thread(find_thread(nullptr), nullptr), B_DONT_DO_THAT);
    EXPECT_EQ(find_thread("no thread has this name"), B_NAME_NOT_FOUND);
}

TEST(ThreadTest, TeamInfoCountsThreads)
{
    team_info info;
    ASSERT_EQ(get_team_info(B_CURRENT_TEAM, &info), B_OK);
    EXPECT_EQ(info.team, getpid());
    EXPECT_GE(info.thread_count, 1);
    EXPECT_GE(info.argc, 1);
    EXPECT_EQ(get_team_info(-77, &info), B_BAD_TEAM_ID);
}

TEST(SemaphoreTest, TimeoutsAndCounts)
{
    sem_id sem = create_sem(1, "counted");
    ASSERT_GT(sem, 0);
    EXPECT_EQ(acquire_sem_etc(sem, 1, B_RELATIVE_TIMEOUT, 0), B_OK);
    EXPECT_EQ(acquire_sem_etc(sem, 1, B_RELATIVE_TIMEOUT, 0), B_WOULD_BLOCK);
    EXPECT_EQ(acquire_sem_etc(sem, 1, B_RELATIVE_TIMEOUT, 1000), B_TIMED_OUT);
    EXPECT_EQ(release_sem_etc(sem, 3, 0), B_OK);
    int32 count = 0;
    EXPECT_EQ(get_sem_count(sem, &count), B_OK);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(acquire_sem_etc(sem, 3, 0, 0), B_OK);
    EXPECT_EQ(delete_sem(sem), B_OK);
    EXPECT_EQ(acquire_sem(sem), B_BAD_SEM_ID);
    EXPECT_EQ(release_sem(sem), B_BAD_SEM_ID);
}

TEST(SemaphoreTest, DeletingWakesWaiters)
{
    Flags flags;
    flags.sem = create_sem(0, "deleted");
    std::atomic<status_t> result { B_OK };
    struct Data {
        Flags* flags;
        std::atomic<status_t>* result;
    } data { &flags, &result };
    thread_id thread = spawn_thread(
        [](void* raw) -> status_t {
            auto* d = static_cast<Data*>(raw);
            *d->result = acquire_sem(d->flags->sem);
            return B_OK;
        },
        "waiter", B_NORMAL_PRIORITY, &data);
    resume_thread(thread);
    ASSERT_TRUE(WaitUntil([&] { return StateOf(thread) == B_THREAD_WAITING; }));
    delete_sem(flags.sem);
    wait_for_thread(thread, nullptr);
    EXPECT_EQ(result.load(), B_BAD_SEM_ID);
}

TEST(BlockingPointTest, KillWakesADescriptorWait)
{
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    thread_id thread = spawn_thread(
        [](void* data) -> status_t {
            int fd = *static_cast<int*>(data);
            return BPrivate::WaitForDescriptor(fd, POLLIN, B_INFINITE_TIMEOUT);
        },
        "poller", B_NORMAL_PRIORITY, &fds[0]);
    resume_thread(thread);
    ASSERT_TRUE(WaitUntil([&] { return StateOf(thread) == B_THREAD_WAITING; }));
    kill_thread(thread);
    status_t exitValue = 0;
    EXPECT_EQ(wait_for_thread(thread, &exitValue), B_OK);
    EXPECT_EQ(exitValue, B_INTERRUPTED);
    EXPECT_EQ(BPrivate::WaitForDescriptor(fds[0], POLLIN, system_time() + 1000), B_TIMED_OUT);
    ASSERT_EQ(write(fds[1], "x", 1), 1);
    EXPECT_EQ(BPrivate::WaitForDescriptor(fds[0], POLLIN, B_INFINITE_TIMEOUT), B_OK);
    close(fds[0]);
    close(fds[1]);
}

TEST(TimeTest, SystemTimeIsMonotonicMicroseconds)
{
    bigtime_t before = system_time();
    EXPECT_EQ(snooze(2000), B_OK);
    bigtime_t after = system_time();
    EXPECT_GE(after - before, 2000);
    EXPECT_EQ(snooze(-1), B_BAD_VALUE);
}

} // namespace
