#include "device/LineState.h"

#include <array>
#include <limits>
#include <utility>

namespace {

std::optional<uint32_t> ParseBaud(std::wstring_view text)
{
    if (text.empty())
        return std::nullopt;
    uint64_t value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9')
            return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - L'0');
        if (value > std::numeric_limits<uint32_t>::max())
            return std::nullopt;
    }
    if (value == 0)
        return std::nullopt;
    static const std::array<std::pair<uint32_t, uint32_t>, 9> abbreviations { {
        { 11, 110 }, { 15, 150 }, { 30, 300 }, { 60, 600 }, { 12, 1200 },
        { 24, 2400 }, { 48, 4800 }, { 96, 9600 }, { 19, 19200 },
    } };
    for (const auto& [shortForm, rate] : abbreviations) {
        if (value == shortForm)
            return rate;
    }
    return static_cast<uint32_t>(value);
}

std::optional<Parity> ParseParity(std::wstring_view text)
{
    if (text.size() != 1)
        return std::nullopt;
    switch (text[0]) {
    case L'N': case L'n': return Parity::None;
    case L'E': case L'e': return Parity::Even;
    case L'O': case L'o': return Parity::Odd;
    case L'M': case L'm': return Parity::Mark;
    case L'S': case L's': return Parity::Space;
    default: return std::nullopt;
    }
}

std::optional<uint8_t> ParseDataBits(std::wstring_view text)
{
    if (text.size() != 1 || text[0] < L'5' || text[0] > L'8')
        return std::nullopt;
    return static_cast<uint8_t>(text[0] - L'0');
}

std::optional<StopBits> ParseStopBits(std::wstring_view text)
{
    if (text == L"1")
        return StopBits::One;
    if (text == L"1.5")
        return StopBits::OnePointFive;
    if (text == L"2")
        return StopBits::Two;
    return std::nullopt;
}

// Stores a parsed value once; a repeated key or a bad value fails the whole.
template <typename T>
bool Store(std::optional<T>& slot, const std::optional<T>& value)
{
    if (slot || !value)
        return false;
    slot = value;
    return true;
}

} // namespace

std::optional<LineState> ParseModeString(std::wstring_view mode)
{
    std::optional<uint32_t> baud;
    std::optional<Parity> parity;
    std::optional<uint8_t> data;
    std::optional<StopBits> stop;

    while (!mode.empty()) {
        const size_t end = mode.find(L' ');
        const std::wstring_view token = mode.substr(0, end);
        mode = end == std::wstring_view::npos ? std::wstring_view {} : mode.substr(end + 1);
        if (token.empty())
            continue;
        const size_t equals = token.find(L'=');
        if (equals == std::wstring_view::npos)
            return std::nullopt;
        const std::wstring_view key = token.substr(0, equals);
        const std::wstring_view value = token.substr(equals + 1);
        bool stored = false;
        if (key == L"baud")
            stored = Store(baud, ParseBaud(value));
        else if (key == L"parity")
            stored = Store(parity, ParseParity(value));
        else if (key == L"data")
            stored = Store(data, ParseDataBits(value));
        else if (key == L"stop")
            stored = Store(stop, ParseStopBits(value));
        if (!stored)
            return std::nullopt;
    }
    if (!baud || !parity || !data || !stop)
        return std::nullopt;
    return LineState { *baud, *data, *parity, *stop };
}
