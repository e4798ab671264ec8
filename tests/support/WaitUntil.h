#pragma once

#include <chrono>
#include <cstdint>
#include <thread>

namespace brenvik::test {

// Polls until `condition` holds or a generous deadline passes. Tests wait for
// other threads to reach a state this way instead of sleeping a fixed time.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout = std::chrono::seconds(10))
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    return true;
}

// The same with the timeout in microseconds, as the kits count time
// (bigtime_t).
template <typename Condition> bool WaitUntil(Condition condition, std::int64_t timeoutMicroseconds)
{
    return WaitUntil(condition,
        std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::microseconds(timeoutMicroseconds)));
}

} // namespace brenvik::test
