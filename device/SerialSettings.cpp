#include "device/SerialSettings.h"

#include <array>
#include <utility>

wchar_t ParityLetter(const std::wstring& parity)
{
    static const std::array<std::pair<const wchar_t*, wchar_t>, 5> table { {
        { L"无", L'N' },
        { L"奇校验", L'E' },
        { L"偶校验", L'O' },
        { L"标记", L'M' },
        { L"空格", L'S' },
    } };
    for (const auto& [word, letter] : table) {
        if (parity == word)
            return letter;
    }
    return L'N';
}

std::wstring BuildModeString(const SerialSettings& settings)
{
    return L"baud=" + settings.m_strBaudRate + L" parity=" + ParityLetter(settings.m_strParity)
        + L" data=" + settings.m_strDataBits + L" stop=" + settings.m_strStopBits;
}
