// What the demo board says on its serial line, as a pure state machine:
// received bytes and the current time go in, the board's answer comes out.
// In line mode it echoes every byte and runs a line ending at CR or LF
// ("help", "xmodem"); "xmodem" hands the line to the XMODEM receiver until
// the transfer ends. One thread drives it (the board's).
#pragma once

#include "demo/XmodemReceiver.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CBoardProtocol {
public:
    using Clock = std::chrono::steady_clock;

    // Nothing said in line mode has a capital C: a sender already waiting
    // in a CRC variant would take it for the receiver's start.
    static constexpr std::string_view BANNER = "\r\nTaliard demo board\r\nType help for the commands.\r\n";
    static constexpr std::string_view PROMPT = "board> ";
    static constexpr std::string_view HELP_TEXT =
        "help     list the commands\r\n"
        "xmodem   receive a file by XMODEM and print its size and checksum\r\n";
    static constexpr std::string_view XMODEM_READY = "Waiting for an XMODEM send...\r\n";
    static constexpr size_t MAX_LINE = 256;

    // The far end opened the line: greet it in line mode.
    void OnOpen();
    // The far end let the line go: forget the line and any transfer.
    void OnHangUp();
    void OnReceive(const uint8_t* data, size_t length, Clock::time_point now);
    void OnTime(Clock::time_point now);
    // When OnTime next has work; none in line mode.
    std::optional<Clock::time_point> NextDeadline() const;
    bool IsReceivingFile() const { return m_receiver.IsReceiving(); }

    // The bytes to send since the last call.
    std::vector<uint8_t> TakeOutput();

private:
    void OnLineByte(uint8_t byte, Clock::time_point now);
    void RunLine(Clock::time_point now);
    void ReportTransferEnd();
    void Say(std::string_view text);

    CXmodemReceiver m_receiver;
    std::string m_line;
    bool m_bAfterCr = false; // swallow the LF of a CR LF pair
    std::vector<uint8_t> m_output;
};
