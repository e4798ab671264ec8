#include "LibTeam.h"

#include <gtest/gtest.h>

#include <atomic>
#include <unistd.h>

namespace {

constexpr bigtime_t kDeadline = 10000000;

bool WaitForState(thread_id thread, thread_state state)
{
    bigtime_t deadline = system_time() + kDeadline;
    thread_info info;
    while (get_thread_info(thread, &info) == B_OK && info.state != state) {
        if (system_time() > deadline)
            return false;
        snooze(1000);
    }
    return info.state == state;
}

struct Ticker {
    std::atomic<int64> ticks { 0 };
    std::atomic<bool> stop { false };

    static status_t Run(void* data)
    {
        Ticker* ticker = static_cast<Ticker*>(data);
        while (!ticker->stop) {
            ticker->ticks++;
            snooze(500);
        }
        return B_OK;
    }
};

TEST(LibTeamTest, SuspendStopsTheOtherThreadsAndResumeRestartsThem)
{
    Ticker ticker;
    thread_id thread = spawn_thread(Ticker::Run, "ticker", B_NORMAL_PRIORITY, &ticker);
    ASSERT_GT(thread, 0);
    ASSERT_EQ(resume_thread(thread), B_OK);
    // Until it runs, a new thread counts as suspended and is left alone.
    bigtime_t started = system_time() + kDeadline;
    while (ticker.ticks == 0 && system_time() < started)
        snooze(1000);
    ASSERT_GT(ticker.ticks.load(), 0);

    // The caller is not among the suspended threads, or this test would
    // not go on.
    ASSERT_EQ(lib_suspend_team(getpid()), B_OK);
    ASSERT_TRUE(WaitForState(thread, B_THREAD_SUSPENDED));
    int64 stopped = ticker.ticks;
    snooze(20000);
    EXPECT_EQ(ticker.ticks.load(), stopped);

    ASSERT_EQ(lib_resume_team(B_CURRENT_TEAM), B_OK);
    bigtime_t deadline = system_time() + kDeadline;
    while (ticker.ticks == stopped && system_time() < deadline)
        snooze(1000);
    EXPECT_GT(ticker.ticks.load(), stopped);

    ticker.stop = true;
    status_t exitValue = B_ERROR;
    EXPECT_EQ(wait_for_thread(thread, &exitValue), B_OK);
    EXPECT_EQ(exitValue, B_OK);
}

TEST(LibTeamTest, CpuTimeGrowsWithWork)
{
    long double before = lib_team_cpu_time(B_CURRENT_TEAM);
    volatile uint64 sum = 0;
    bigtime_t until = system_time() + 30000;
    while (system_time() < until)
        sum = sum + 1;
    long double after = lib_team_cpu_time(B_CURRENT_TEAM);
    EXPECT_GE(before, 0);
    EXPECT_GT(after, before);
}

TEST(LibTeamTest, OtherTeamsAreRefused)
{
    EXPECT_EQ(lib_suspend_team(getpid() + 100000), B_BAD_TEAM_ID);
    EXPECT_EQ(lib_resume_team(getpid() + 100000), B_BAD_TEAM_ID);
    EXPECT_EQ(lib_team_cpu_time(getpid() + 100000), 0);
}

} // namespace
