// The line settings of one port as the user chose them, five texts in a
// fixed order, and the mode string the port parses them from. Plain values:
// any thread, no shared state.
#pragma once

#include <string>

struct SerialSettings {
    std::wstring m_strPortName; // "COM1".."COM32" or an absolute device path
    std::wstring m_strBaudRate; // decimal text, passed on as typed
    std::wstring m_strParity;   // a parity word; anything else means none
    std::wstring m_strDataBits; // "5".."8"
    std::wstring m_strStopBits; // "1", "1.5" or "2"
};

// The letter of the mode string for a parity word. The words for odd and
// even are deliberately crossed: the configuration bar hands "偶校验" for its
// "Odd" entry and "奇校验" for "Even", and only the two tables together give
// the line the parity the user chose.
wchar_t ParityLetter(const std::wstring& parity);

// "baud=%s parity=%c data=%s stop=%s", e.g. "baud=115200 parity=N data=8 stop=1".
std::wstring BuildModeString(const SerialSettings& settings);
