// Fuzzes the mode-string parser and the termios mapping: any text either
// parses to a line state within range, which a canonical mode string gives
// back, or to nothing; a parsed state always maps to a raw record that
// carries exactly its rate, size, parity and stop bits.
#include "device/LineState.h"
#include "device/LineTermios.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// Odd first byte: the rest as 16-bit code units, to reach characters
// beyond Latin-1; otherwise one character per byte.
std::wstring TextFrom(const uint8_t* data, size_t size)
{
    std::wstring text;
    if (size > 0 && (data[0] & 1) != 0) {
        for (size_t i = 1; i + 1 < size; i += 2)
            text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    } else {
        for (size_t i = 1; i < size; ++i)
            text.push_back(static_cast<wchar_t>(data[i]));
    }
    return text;
}

bool IsAbbreviation(uint32_t rate)
{
    for (const uint32_t shortRate : { 11u, 15u, 30u, 60u, 12u, 24u, 48u, 96u, 19u }) {
        if (rate == shortRate)
            return true;
    }
    return false;
}

std::wstring CanonicalModeString(const LineState& line)
{
    static const wchar_t LETTERS[] = { L'N', L'E', L'O', L'M', L'S' };
    static const wchar_t* const STOPS[] = { L"1", L"1.5", L"2" };
    return L"baud=" + std::to_wstring(line.nBaudRate) + L" parity=" + LETTERS[static_cast<int>(line.parity)]
        + L" data=" + std::to_wstring(line.nDataBits) + L" stop=" + STOPS[static_cast<int>(line.stopBits)];
}

void CheckRecord(const LineState& line, const termios2& current)
{
    const termios2 record = TermiosFromLineState(line, current);
    const tcflag_t sizes[] = { CS5, CS6, CS7, CS8 };
    Check((record.c_cflag & CSIZE) == sizes[line.nDataBits - 5]);
    Check((record.c_cflag & (CLOCAL | CREAD)) == (CLOCAL | CREAD));
    Check((record.c_cflag & CRTSCTS) == 0);
    Check((record.c_iflag & (IXON | IXOFF | IXANY | ICRNL | INLCR | IGNCR | ISTRIP)) == 0);
    Check((record.c_oflag & OPOST) == 0);
    Check((record.c_lflag & (ICANON | ECHO | ISIG | IEXTEN)) == 0);
    Check(record.c_ispeed == line.nBaudRate && record.c_ospeed == line.nBaudRate);
    Check((record.c_cflag & CIBAUD) == 0);
    Check(((record.c_cflag & PARENB) != 0) == (line.parity != Parity::None));
    Check(((record.c_cflag & CMSPAR) != 0) == (line.parity == Parity::Mark || line.parity == Parity::Space));
    Check(((record.c_cflag & PARODD) != 0) == (line.parity == Parity::Odd || line.parity == Parity::Mark));
    Check(((record.c_cflag & CSTOPB) != 0) == (line.stopBits != StopBits::One));
    Check(record.c_cc[VMIN] == 1 && record.c_cc[VTIME] == 0);
    Check((record.c_cflag & CBAUD) != 0); // B0 would hang the line up
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto line = ParseModeString(TextFrom(data, size));
    if (!line)
        return 0;
    Check(line->nBaudRate >= 1);
    Check(line->nDataBits >= 5 && line->nDataBits <= 8);
    if (!IsAbbreviation(line->nBaudRate))
        Check(ParseModeString(CanonicalModeString(*line)) == line);

    // The rest of the input as the record the device had before.
    termios2 current {};
    std::memcpy(&current, data, std::min(size, sizeof current));
    CheckRecord(*line, current);
    return 0;
}
