// The line state a mode string describes ("baud=... parity=X data=... stop=..."),
// and our parser of it. Pure functions: any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

enum class Parity { None, Even, Odd, Mark, Space };
enum class StopBits { One, OnePointFive, Two };

struct LineState {
    uint32_t nBaudRate = 0;
    uint8_t nDataBits = 8;
    Parity parity = Parity::None;
    StopBits stopBits = StopBits::One;

    bool operator==(const LineState&) const = default;
};

// Each of the four keys exactly once, in any order, separated by spaces.
// Baud is a decimal number of 1 to 4294967295; the two-digit abbreviations
// 11 15 30 60 12 24 48 96 19 stand for 110 150 300 600 1200 2400 4800 9600
// 19200. Parity is one of N E O M S, data 5 to 8, stop 1, 1.5 or 2.
// Anything else: no value.
std::optional<LineState> ParseModeString(std::wstring_view mode);
