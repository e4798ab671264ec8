// Time and sleeping, and the descriptor wait of the blocking points.

#include <OS.h>

#include <BlockingPoint.h>

#include <cerrno>
#include <ctime>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include "ThreadRecord.h"

bigtime_t system_time()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return bigtime_t(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

namespace BPrivate {

std::chrono::steady_clock::time_point DeadlineFromSystemTime(bigtime_t when)
{
    // steady_clock is CLOCK_MONOTONIC on Linux, the clock of system_time().
    // Deadlines further away than a year are treated as a year away, which
    // keeps the conversion to nanoseconds from overflowing.
    constexpr bigtime_t kYear = 365LL * 24 * 3600 * 1000000;
    bigtime_t now = system_time();
    bigtime_t delta = when > now + kYear ? kYear : when - now;
    return std::chrono::steady_clock::now() + std::chrono::microseconds(delta);
}

status_t WaitForDescriptor(int fd, short events, bigtime_t deadline)
{
    // A kill writes to this event descriptor, which wakes the poll.
    int wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake < 0)
        return StatusFromErrno(errno);
    status_t status = B_OK;
    {
        // The callback must be gone (and any run of it finished) before the
        // descriptor it writes to is closed.
        std::stop_callback onKill(CurrentStopToken(), [wake] {
            uint64_t one = 1;
            [[maybe_unused]] ssize_t written = write(wake, &one, sizeof(one));
        });
        ThreadStateScope scope(B_THREAD_WAITING);
        pollfd fds[2] = { { fd, events, 0 }, { wake, POLLIN, 0 } };
        for (;;) {
            int timeout = -1;
            if (deadline != B_INFINITE_TIMEOUT) {
                bigtime_t left = deadline - system_time();
                timeout = left <= 0 ? 0 : int((left + 999) / 1000);
            }
            int result = poll(fds, 2, timeout);
            if (result < 0 && errno == EINTR)
                continue;
            if (result < 0)
                status = StatusFromErrno(errno);
            else if (fds[1].revents != 0)
                status = B_INTERRUPTED;
            else if (result == 0)
                status = B_TIMED_OUT;
            break;
        }
    }
    close(wake);
    if (status == B_INTERRUPTED)
        thread_checkpoint();
    return status;
}

} // namespace BPrivate

status_t snooze_until(bigtime_t time, int timeBase)
{
    if (timeBase != B_SYSTEM_TIMEBASE)
        return B_BAD_VALUE;
    BPrivate::thread_checkpoint();
    std::mutex lock;
    std::condition_variable_any condition;
    std::unique_lock guard(lock);
    status_t status = BPrivate::WaitInterruptibly(
        condition, guard, time, [] { return false; }, B_THREAD_ASLEEP);
    return status == B_TIMED_OUT ? B_OK : status;
}

status_t snooze(bigtime_t microseconds)
{
    if (microseconds < 0)
        return B_BAD_VALUE;
    bigtime_t now = system_time();
    if (microseconds > B_INFINITE_TIMEOUT - now)
        return snooze_until(B_INFINITE_TIMEOUT, B_SYSTEM_TIMEBASE);
    return snooze_until(now + microseconds, B_SYSTEM_TIMEBASE);
}
