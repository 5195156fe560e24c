// Turns "a byte arrived" on the port thread into at most one pending wake-up
// of the UI thread, and tells the UI thread how long to wait so that it
// refreshes 15 ms after the last byte of a burst (what a one-shot timer
// restarted for every byte would do, without an event per byte).
//
// OnByte: port thread. AcknowledgeWake, MillisecondsUntilDue: UI thread.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

class CRefreshSchedule {
public:
    static constexpr int REFRESH_DELAY_MS = 15;

    // Records the time; true when the caller must wake the UI thread.
    bool OnByte()
    {
        m_lastByte.store(Now(), std::memory_order_relaxed);
        return !m_bWakePending.load(std::memory_order_relaxed) && !m_bWakePending.exchange(true);
    }
    // Call first thing when woken, before reading the time.
    void AcknowledgeWake() { m_bWakePending.store(false); }
    // 0 when the refresh is due now.
    int MillisecondsUntilDue() const
    {
        const int64_t dueAt = m_lastByte.load(std::memory_order_relaxed) + REFRESH_DELAY_MS * 1000;
        const int64_t left = dueAt - Now();
        return left > 0 ? static_cast<int>((left + 999) / 1000) : 0;
    }

private:
    static int64_t Now()
    {
        return std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::steady_clock::now().time_since_epoch()).count();
    }

    std::atomic<int64_t> m_lastByte { 0 };
    std::atomic<bool> m_bWakePending { false };
};
