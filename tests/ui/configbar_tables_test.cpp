// The configuration bar's lists and the settings texts a choice becomes.
#include "ui/ConfigBarTables.h"

#include "ui/Resource.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace {

const ConfigBarList& ListOf(int id)
{
    for (const ConfigBarList& list : ConfigBarLists()) {
        if (list.id == id)
            return list;
    }
    throw std::logic_error("no such list");
}

const std::wstring& StartEntry(int id)
{
    const ConfigBarList& list = ListOf(id);
    return list.entries.at(static_cast<size_t>(list.startSelection));
}

TEST(ConfigBarListsTest, StartAtComOneWith115200EightDataBitsOneStopNoParityNoFlowControl)
{
    EXPECT_EQ(StartEntry(IDC_COMBO_PORT), L"COM1");
    EXPECT_EQ(StartEntry(IDC_COMBO_BAUD), L"115200");
    EXPECT_EQ(StartEntry(IDC_COMBO_DATA_BITS), L"8");
    EXPECT_EQ(StartEntry(IDC_COMBO_STOP_BITS), L"1");
    EXPECT_EQ(StartEntry(IDC_COMBO_PARITY), L"None");
    EXPECT_EQ(StartEntry(IDC_COMBO_FLOW), L"None");
}

TEST(ConfigBarListsTest, PortListOffersComOneToComThirtyTwo)
{
    const auto& ports = ListOf(IDC_COMBO_PORT).entries;
    ASSERT_EQ(ports.size(), 32u);
    EXPECT_EQ(ports.front(), L"COM1");
    EXPECT_EQ(ports[9], L"COM10");
    EXPECT_EQ(ports.back(), L"COM32");
}

TEST(ConfigBarListsTest, ListsAreFilledInTheirControlOrder)
{
    std::vector<int> ids;
    for (const ConfigBarList& list : ConfigBarLists())
        ids.push_back(list.id);
    EXPECT_EQ(ids, (std::vector<int> { IDC_COMBO_PORT, IDC_COMBO_BAUD, IDC_COMBO_DATA_BITS, IDC_COMBO_STOP_BITS,
                                       IDC_COMBO_PARITY, IDC_COMBO_FLOW }));
}

struct ParityCase {
    int index;
    std::wstring label;
    std::wstring word;
    wchar_t letter;
};

void PrintTo(const ParityCase& c, std::ostream* os)
{
    *os << "parity entry " << c.index;
}

class ParityMappingTest : public testing::TestWithParam<ParityCase> {};

// The word alone looks crossed for odd and even; with the port layer's table
// the line must get the parity the list shows.
TEST_P(ParityMappingTest, ListEntryGivesTheLineTheParityItNames)
{
    const ParityCase& c = GetParam();
    EXPECT_EQ(ListOf(IDC_COMBO_PARITY).entries.at(static_cast<size_t>(c.index)), c.label);
    EXPECT_EQ(ParityWordForIndex(c.index), c.word);
    EXPECT_EQ(ParityLetter(ParityWordForIndex(c.index)), c.letter);
}

INSTANTIATE_TEST_SUITE_P(AllEntries, ParityMappingTest,
                         testing::Values(ParityCase { 0, L"None", L"无", L'N' },
                                         ParityCase { 1, L"Odd", L"偶校验", L'O' },
                                         ParityCase { 2, L"Even", L"奇校验", L'E' },
                                         ParityCase { 3, L"Mark", L"标记", L'M' },
                                         ParityCase { 4, L"Space", L"空格", L'S' }));

TEST(WriteSettingsTest, ListChoicesBecomeTheirTexts)
{
    ConfigBarChoices choices;
    choices.port = 31;
    choices.baud = 11;
    choices.dataBits = 0;
    choices.stopBits = 1;
    choices.parity = 2;
    SerialSettings settings;
    ASSERT_TRUE(WriteSettingsFromChoices(choices, settings));
    EXPECT_EQ(settings.m_strPortName, L"COM32");
    EXPECT_EQ(settings.m_strBaudRate, L"921600");
    EXPECT_EQ(settings.m_strDataBits, L"5");
    EXPECT_EQ(settings.m_strStopBits, L"1.5");
    EXPECT_EQ(settings.m_strParity, L"奇校验");
}

TEST(WriteSettingsTest, CustomBaudTextIsPassedOnAsTyped)
{
    ConfigBarChoices choices;
    choices.customBaud = true;
    choices.customBaudText = L" 12345x";
    choices.baud = 7;
    SerialSettings settings;
    ASSERT_TRUE(WriteSettingsFromChoices(choices, settings));
    EXPECT_EQ(settings.m_strBaudRate, L" 12345x");
}

TEST(WriteSettingsTest, EmptyCustomBaudWritesOnlyThePortName)
{
    SerialSettings settings { L"COM1", L"115200", L"N", L"8", L"1" };
    ConfigBarChoices choices;
    choices.port = 4;
    choices.parity = 1;
    choices.customBaud = true;
    EXPECT_FALSE(WriteSettingsFromChoices(choices, settings));
    EXPECT_EQ(settings.m_strPortName, L"COM5");
    EXPECT_EQ(settings.m_strBaudRate, L"115200");
    EXPECT_EQ(settings.m_strParity, L"N");
}

TEST(WriteSettingsTest, NoSelectionGivesAnEmptyTextNotACrash)
{
    ConfigBarChoices choices;
    choices.baud = -1;
    choices.parity = 5;
    SerialSettings settings;
    ASSERT_TRUE(WriteSettingsFromChoices(choices, settings));
    EXPECT_EQ(settings.m_strBaudRate, L"");
    EXPECT_EQ(settings.m_strParity, L"");
}

struct ProgressCase {
    float fraction;
    int position;
};

void PrintTo(const ProgressCase& c, std::ostream* os)
{
    *os << c.fraction << " -> " << c.position;
}

class ProgressPositionTest : public testing::TestWithParam<ProgressCase> {};

TEST_P(ProgressPositionTest, FractionTimesHundredTruncated)
{
    EXPECT_EQ(ProgressPosition(GetParam().fraction), GetParam().position);
}

// The float nearest 0.29 lies just below it: truncation gives 28, not 29.
INSTANTIATE_TEST_SUITE_P(Fractions, ProgressPositionTest,
                         testing::Values(ProgressCase { 0.0f, 0 }, ProgressCase { 0.5f, 50 },
                                         ProgressCase { 1.0f, 100 }, ProgressCase { 0.29f, 28 },
                                         ProgressCase { 0.999f, 99 }, ProgressCase { 1.0f / 3.0f, 33 },
                                         ProgressCase { -0.005f, 0 }, ProgressCase { NAN, 0 },
                                         ProgressCase { 1e30f, INT_MAX }, ProgressCase { -1e30f, INT_MIN }));

} // namespace
