// Turns "a byte arrived" on the port thread into at most one pending wake-up
// of the UI thread, and lets the UI thread refresh once 15 ms have passed
// without a byte (what a one-shot timer restarted for every byte would do,
// without an event per byte). The port thread only counts bytes: a clock
// read per byte would cost a third of the receive path. The UI thread reads
// the clock when it takes a wake-up; every byte counted by then came no
// later than that.
//
// OnByte: port thread. AcknowledgeWake, MillisecondsUntilDue,
// BytesSinceWake: UI thread.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

class CRefreshSchedule {
public:
    static constexpr int REFRESH_DELAY_MS = 15;

    // Counts the byte; true when the caller must wake the UI thread.
    bool OnByte()
    {
        // The port thread is the only writer.
        m_nBytes.store(m_nBytes.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
        return !m_bWakePending.load(std::memory_order_relaxed) && !m_bWakePending.exchange(true);
    }
    // Call first thing when woken: a byte after this wakes the UI again.
    void AcknowledgeWake()
    {
        m_bWakePending.store(false);
        m_nSeenBytes = m_nBytes.load();
        m_lastWake = Now();
    }
    // 0 when the refresh is due now: 15 ms after the last wake-up taken.
    int MillisecondsUntilDue() const
    {
        const int64_t left = m_lastWake + REFRESH_DELAY_MS * 1000 - Now();
        return left > 0 ? static_cast<int>((left + 999) / 1000) : 0;
    }
    // Bytes came after the last wake-up taken: the wait starts again.
    bool BytesSinceWake() const { return m_nBytes.load() != m_nSeenBytes; }

private:
    static int64_t Now()
    {
        return std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::steady_clock::now().time_since_epoch()).count();
    }

    std::atomic<uint64_t> m_nBytes { 0 };
    std::atomic<bool> m_bWakePending { false };
    uint64_t m_nSeenBytes = 0; // UI thread only
    int64_t m_lastWake = 0;    // UI thread only
};
