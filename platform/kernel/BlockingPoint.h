#pragma once

// The private side of the thread layer: the blocking points through which
// kill_thread and suspend_thread reach a thread. Every wait in our platform
// layer goes through WaitInterruptibly (or one of the other helpers here), so
// that a killed thread wakes and unwinds, and so that get_thread_info reports
// what the thread is doing.

#include <chrono>
#include <condition_variable>
#include <stop_token>

#include <OS.h>

namespace BPrivate {

// The stop token of the calling thread: stop is requested when the thread is
// killed. Threads not made by spawn_thread get a token that never stops.
std::stop_token CurrentStopToken();

// Whether the calling thread has been killed.
bool CurrentThreadKilled();

// Parks the calling thread while it is suspended, and unwinds it when it has
// been killed (unless unwinding is held off, see NoUnwindScope). Long loops
// call this between steps.
void thread_checkpoint();

// Reports the calling thread as being in `state` (B_THREAD_WAITING,
// B_THREAD_ASLEEP, ...) while the object lives.
class ThreadStateScope {
public:
    explicit ThreadStateScope(thread_state state);
    ~ThreadStateScope();
    ThreadStateScope(const ThreadStateScope&) = delete;
    ThreadStateScope& operator=(const ThreadStateScope&) = delete;

private:
    thread_state fPrevious;
};

// While one of these lives on the calling thread, a kill does not unwind the
// thread at a blocking point: the wait returns B_INTERRUPTED instead. Code
// that blocks inside a destructor uses it, because unwinding through a
// destructor would end the program.
class NoUnwindScope {
public:
    NoUnwindScope();
    ~NoUnwindScope();
    NoUnwindScope(const NoUnwindScope&) = delete;
    NoUnwindScope& operator=(const NoUnwindScope&) = delete;
};

// Adds one to a counter for the life of the scope, also when the thread is
// unwound while waiting.
class ScopedIncrement {
public:
    explicit ScopedIncrement(int32& counter)
        : fCounter(counter)
    {
        fCounter++;
    }
    ~ScopedIncrement() { fCounter--; }
    ScopedIncrement(const ScopedIncrement&) = delete;
    ScopedIncrement& operator=(const ScopedIncrement&) = delete;

private:
    int32& fCounter;
};

std::chrono::steady_clock::time_point DeadlineFromSystemTime(bigtime_t when);

// Waits on `condition` (with `lock` held) until `ready()` is true. Returns B_OK
// when it is, B_TIMED_OUT when `deadline` (a system_time() value, or
// B_INFINITE_TIMEOUT) passes first. When the thread is killed meanwhile it
// unwinds, or returns B_INTERRUPTED inside a NoUnwindScope.
template <typename Lock, typename Predicate>
status_t WaitInterruptibly(std::condition_variable_any& condition, Lock& lock, bigtime_t deadline,
    Predicate ready, thread_state state = B_THREAD_WAITING)
{
    if (ready())
        return B_OK;
    bool done;
    {
        ThreadStateScope scope(state);
        std::stop_token token = CurrentStopToken();
        if (deadline == B_INFINITE_TIMEOUT)
            done = condition.wait(lock, token, ready);
        else
            done = condition.wait_until(lock, token, DeadlineFromSystemTime(deadline), ready);
    }
    if (done)
        return B_OK;
    if (CurrentThreadKilled()) {
        lock.unlock();
        thread_checkpoint();
        lock.lock();
        return B_INTERRUPTED;
    }
    return B_TIMED_OUT;
}

// Waits until `fd` is ready for `events` (poll(2) flags), the deadline passes
// or the thread is killed. Returns B_OK, B_TIMED_OUT, B_INTERRUPTED (only
// inside a NoUnwindScope) or an error of poll(2).
status_t WaitForDescriptor(int fd, short events, bigtime_t deadline);

// Called on the thread that is ending, for every thread made by spawn_thread
// and for adopted threads, after its stack has been unwound. Used by BLocker
// to release what the thread still holds. At most a handful of hooks exist.
typedef void (*thread_exit_hook)(thread_id thread);
void AddThreadExitHook(thread_exit_hook hook);

} // namespace BPrivate
