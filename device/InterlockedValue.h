// A value cell and a flag cell, each read and written atomically: flags that
// one thread sets and another polls, and counters that several threads
// advance at once. Any thread may call anything.
#pragma once

#include <atomic>
#include <cstdint>

class CInterlockedValue {
public:
    CInterlockedValue() = default;
    CInterlockedValue(const CInterlockedValue&) = delete;
    CInterlockedValue& operator=(const CInterlockedValue&) = delete;

    // Acquire/release is enough: a cell publishes the data written before it
    // and nothing relies on one total order across cells. It keeps the
    // per-byte stores of the receive path plain moves.
    int32_t GetValue() const { return m_nValue.load(std::memory_order_acquire); }
    int32_t GetFlag() const { return m_nFlag.load(std::memory_order_acquire); }
    void SetValue(int32_t value) { m_nValue.store(value, std::memory_order_release); }
    void SetFlag(int32_t flag) { m_nFlag.store(flag, std::memory_order_release); }
    // One atomic step; the sum wraps like the 32-bit counter it is.
    void AddValue(int32_t amount) { m_nValue.fetch_add(amount, std::memory_order_acq_rel); }

private:
    std::atomic<int32_t> m_nValue { 0 };
    std::atomic<int32_t> m_nFlag { 0 };
};
