// Turns "a byte arrived" on the port thread into at most one wake-up of the
// UI thread per stretch of traffic, and tells the UI thread when to refresh:
// once 15 ms have passed without a byte (what a one-shot timer restarted for
// every byte would do, without an event per byte). The port thread only
// counts bytes: a clock read per byte would cost a third of the receive
// path. Woken, the UI thread watches the count every millisecond until it
// stops moving, so it knows the time of the last byte to within that, then
// lets the next byte wake it again and waits out the rest of the 15 ms.
//
// OnByte: port thread. OnWake, OnTimer, IsWatching: UI thread.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

class CRefreshSchedule {
public:
    static constexpr int REFRESH_DELAY_MS = 15;
    static constexpr int WATCH_POLL_MS = 1;

    // Counts the byte; true when the caller must wake the UI thread.
    bool OnByte()
    {
        // The port thread is the only writer.
        m_nBytes.store(m_nBytes.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
        return !m_bWakePending.load(std::memory_order_relaxed) && !m_bWakePending.exchange(true);
    }
    // The UI thread was woken: it watches the count from now on.
    void OnWake()
    {
        Look();
        m_bWatching = true;
    }
    // The UI thread's timer fired: milliseconds until it must look again, or
    // 0 when the refresh is due now.
    int OnTimer()
    {
        if (Look())
            return WATCH_POLL_MS;
        if (m_bWatching) {
            // Quiet for a poll: from here on a byte wakes the UI thread.
            m_bWakePending.store(false);
            if (Look())
                return WATCH_POLL_MS;
            m_bWatching = false;
        }
        const int64_t left = m_lastChange + REFRESH_DELAY_MS * 1000 - Now();
        return left > 0 ? static_cast<int>((left + 999) / 1000) : 0;
    }
    bool IsWatching() const { return m_bWatching; }

private:
    static int64_t Now()
    {
        return std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::steady_clock::now().time_since_epoch()).count();
    }
    // True when bytes came since the last look; their time is taken as now.
    bool Look()
    {
        const uint64_t count = m_nBytes.load();
        if (count == m_nSeenBytes)
            return false;
        m_nSeenBytes = count;
        m_lastChange = Now();
        return true;
    }

    std::atomic<uint64_t> m_nBytes { 0 };
    std::atomic<bool> m_bWakePending { false };
    uint64_t m_nSeenBytes = 0; // UI thread only, like the two below
    int64_t m_lastChange = 0;
    bool m_bWatching = false;
};
