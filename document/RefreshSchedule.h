// Turns "a run of bytes arrived" on the port thread into at most one
// wake-up of the UI thread per stretch of traffic, and tells the UI thread
// when to refresh: once 15 ms have passed since the last run (what a
// one-shot timer restarted for every byte would do, without an event per
// byte). The port thread reads the clock once per run, never per byte.
//
// OnRun: port thread. Due: UI thread.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>

class CRefreshSchedule {
public:
    static constexpr int REFRESH_DELAY_MS = 15;

    // Notes the run's time; true when the caller must wake the UI thread.
    bool OnRun()
    {
        // Strictly increasing, so the UI thread can tell that a run came.
        const int64_t last = m_lastRun.load(std::memory_order_relaxed);
        m_lastRun.store(std::max(Now(), last + 1));
        return !m_bWakePending.exchange(true);
    }

    // Woken, or its timer fired: milliseconds until the UI thread must look
    // again, or 0 when the refresh is due now.
    int Due()
    {
        for (;;) {
            const int64_t last = m_lastRun.load();
            const int64_t left = last + REFRESH_DELAY_MS * 1000 - Now();
            if (left > 0)
                return static_cast<int>((left + 999) / 1000);
            // From here on a run wakes the UI thread again. One that came
            // before it could see this is caught by the second look.
            m_bWakePending.store(false);
            if (m_lastRun.load() == last)
                return 0;
            m_bWakePending.store(true);
        }
    }

private:
    static int64_t Now()
    {
        return std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::steady_clock::now().time_since_epoch()).count();
    }

    std::atomic<int64_t> m_lastRun { 0 }; // microseconds, steady clock
    std::atomic<bool> m_bWakePending { false };
};
