// An auto-reset event: Set() leaves one signal pending until a single wait
// consumes it; several Set() calls before that wait count as one.
// Any thread may Set(); any thread may wait.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace platform {

class AutoResetEvent {
public:
    AutoResetEvent() = default;
    AutoResetEvent(const AutoResetEvent&) = delete;
    AutoResetEvent& operator=(const AutoResetEvent&) = delete;

    void Set();
    void Reset();
    void Wait();
    // True when a signal was consumed, false when the time ran out.
    bool WaitFor(uint32_t milliseconds);

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_bSignalled = false;
};

} // namespace platform
