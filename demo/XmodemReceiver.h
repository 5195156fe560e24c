// The demo board's XMODEM receiver as a pure state machine: received bytes
// and the current time go in, reply bytes come out. It asks for CRC-16 with
// 'C' once a second and falls back to the 8-bit checksum (NAK once a second)
// after three unanswered asks, takes 128- and 1024-byte blocks, and keeps
// only the count and CRC-32 of the data it accepted. One thread drives it.
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

class CXmodemReceiver {
public:
    using Clock = std::chrono::steady_clock;

    enum class EState { Idle, Receiving, Complete, CancelledBySender, TimedOut, OutOfSequence };

    static constexpr uint8_t SOH = 0x01;
    static constexpr uint8_t STX = 0x02;
    static constexpr uint8_t EOT = 0x04;
    static constexpr uint8_t ACK = 0x06;
    static constexpr uint8_t NAK = 0x15;
    static constexpr uint8_t CAN = 0x18;
    static constexpr uint8_t ASK_CRC = 'C';
    static constexpr std::chrono::milliseconds ASK_INTERVAL { 1000 };
    static constexpr int CRC_ASKS = 3;
    // A block whose bytes stop coming is dropped and NAKed after this.
    static constexpr std::chrono::milliseconds BLOCK_STALL_LIMIT { 1000 };
    static constexpr std::chrono::milliseconds SILENCE_LIMIT { 10000 };

    // Forgets any earlier transfer and sends the first 'C'.
    void Start(Clock::time_point now, std::vector<uint8_t>& out);
    void OnByte(uint8_t byte, Clock::time_point now, std::vector<uint8_t>& out);
    // Sends the periodic asks, drops a stalled block, gives up on silence.
    void OnTime(Clock::time_point now, std::vector<uint8_t>& out);
    // When OnTime next has work; meaningful only while receiving.
    Clock::time_point NextDeadline() const;

    EState GetState() const { return m_state; }
    bool IsReceiving() const { return m_state == EState::Receiving; }
    bool UsesCrc() const { return m_bCrc; }
    uint64_t GetByteCount() const { return m_nBytes; }
    uint32_t GetCrc32() const { return m_nCrc32; }

private:
    void Ask(Clock::time_point now, std::vector<uint8_t>& out);
    void OnBlockComplete(std::vector<uint8_t>& out);
    bool CheckMatches() const;
    size_t CheckLength() const { return m_bCrc ? 2 : 1; }

    EState m_state = EState::Idle;
    bool m_bCrc = true;
    bool m_bStarted = false; // a block header has arrived: no more asks
    int m_nAsks = 0;
    Clock::time_point m_nextAsk {};
    Clock::time_point m_lastByte {};
    std::vector<uint8_t> m_block; // header, number, complement, data, check
    size_t m_nBlockLength = 0; // length of the block being collected; 0 between blocks
    uint8_t m_nExpected = 1;
    uint64_t m_nBytes = 0;
    uint32_t m_nCrc32 = 0;
};
