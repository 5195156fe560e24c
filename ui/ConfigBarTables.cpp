#include "ui/ConfigBarTables.h"

#include "ui/Resource.h"

#include <array>
#include <climits>
#include <cmath>

namespace {

constexpr int PORT_COUNT = 32;

std::vector<std::wstring> PortEntries()
{
    std::vector<std::wstring> entries;
    for (int i = 0; i < PORT_COUNT; ++i)
        entries.push_back(PortNameForIndex(i));
    return entries;
}

// Indices into ConfigBarLists().
enum ListIndex { LIST_PORT, LIST_BAUD, LIST_DATA_BITS, LIST_STOP_BITS, LIST_PARITY, LIST_FLOW };

// Out-of-range indices (no selection) give an empty text, which the port
// layer refuses at connect.
std::wstring EntryOf(ListIndex list, int index)
{
    const auto& entries = ConfigBarLists()[list].entries;
    if (index < 0 || static_cast<size_t>(index) >= entries.size())
        return {};
    return entries[static_cast<size_t>(index)];
}

} // namespace

const std::vector<ConfigBarList>& ConfigBarLists()
{
    static const std::vector<ConfigBarList> lists {
        { IDC_COMBO_PORT, PortEntries(), 0 },
        { IDC_COMBO_BAUD,
          { L"1200", L"2400", L"4800", L"9600", L"19200", L"38400", L"57600", L"115200", L"204800",
            L"230400", L"460800", L"921600" },
          7 },
        { IDC_COMBO_DATA_BITS, { L"5", L"6", L"7", L"8" }, 3 },
        { IDC_COMBO_STOP_BITS, { L"1", L"1.5", L"2" }, 0 },
        { IDC_COMBO_PARITY, { L"None", L"Odd", L"Even", L"Mark", L"Space" }, 0 },
        { IDC_COMBO_FLOW, { L"Hardware", L"Software", L"None", L"Custom" }, 2 },
    };
    return lists;
}

std::wstring PortNameForIndex(int index)
{
    return L"COM" + std::to_wstring(index + 1);
}

std::wstring ParityWordForIndex(int index)
{
    static const std::array<const wchar_t*, 5> words { L"无", L"偶校验", L"奇校验", L"标记", L"空格" };
    if (index < 0 || static_cast<size_t>(index) >= words.size())
        return {};
    return words[static_cast<size_t>(index)];
}

bool WriteSettingsFromChoices(const ConfigBarChoices& choices, SerialSettings& settings)
{
    settings.m_strPortName = PortNameForIndex(choices.port);
    if (choices.customBaud) {
        if (choices.customBaudText.empty())
            return false;
        settings.m_strBaudRate = choices.customBaudText;
    } else {
        settings.m_strBaudRate = EntryOf(LIST_BAUD, choices.baud);
    }
    settings.m_strParity = ParityWordForIndex(choices.parity);
    settings.m_strDataBits = EntryOf(LIST_DATA_BITS, choices.dataBits);
    settings.m_strStopBits = EntryOf(LIST_STOP_BITS, choices.stopBits);
    return true;
}

int ProgressPosition(float fraction)
{
    const double position = std::trunc(static_cast<double>(fraction) * 100.0);
    if (std::isnan(position))
        return 0;
    if (position >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (position <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(position);
}
