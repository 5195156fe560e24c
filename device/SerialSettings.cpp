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

namespace {

// Blanks around a typed rate: a trailing one always passed (the mode
// string splits at blanks), so a leading one must too.
std::wstring TrimBlanks(const std::wstring& text)
{
    const size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos)
        return std::wstring();
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

} // namespace

std::wstring BuildModeString(const SerialSettings& settings)
{
    return L"baud=" + TrimBlanks(settings.m_strBaudRate) + L" parity=" + ParityLetter(settings.m_strParity)
        + L" data=" + settings.m_strDataBits + L" stop=" + settings.m_strStopBits;
}
