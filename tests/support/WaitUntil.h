#pragma once

#include <chrono>
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

} // namespace brenvik::test
