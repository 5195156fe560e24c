// Polls a condition every millisecond: for tests that wait on another
// thread or process.
#pragma once

#include <chrono>
#include <thread>

namespace testsupport {

// True once done() holds; false when the time ran out first.
template <typename Predicate>
bool WaitUntil(Predicate done, std::chrono::milliseconds timeout = std::chrono::seconds(10))
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

} // namespace testsupport
