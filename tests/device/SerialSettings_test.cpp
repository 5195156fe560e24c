#include "device/SerialSettings.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

class ParityWord : public testing::TestWithParam<std::pair<std::wstring, wchar_t>> {};

TEST_P(ParityWord, BecomesItsLetter)
{
    EXPECT_EQ(ParityLetter(GetParam().first), GetParam().second);
}

// The odd and even words are crossed on purpose (see SerialSettings.h).
INSTANTIATE_TEST_SUITE_P(Table, ParityWord, testing::Values(
    std::make_pair(std::wstring(L"无"), L'N'),
    std::make_pair(std::wstring(L"奇校验"), L'E'),
    std::make_pair(std::wstring(L"偶校验"), L'O'),
    std::make_pair(std::wstring(L"标记"), L'M'),
    std::make_pair(std::wstring(L"空格"), L'S'),
    std::make_pair(std::wstring(L"N"), L'N'),
    std::make_pair(std::wstring(L"E"), L'N'),
    std::make_pair(std::wstring(L""), L'N'),
    std::make_pair(std::wstring(L"奇校验 "), L'N'),
    std::make_pair(std::wstring(L"Odd"), L'N')));

TEST(ModeString, DefaultsReadAsExpected)
{
    const SerialSettings settings { L"COM1", L"115200", L"N", L"8", L"1" };
    EXPECT_EQ(BuildModeString(settings), L"baud=115200 parity=N data=8 stop=1");
}

TEST(ModeString, TextsArePassedOnUnchanged)
{
    const SerialSettings settings { L"COM2", L"12a", L"标记", L"7", L"1.5" };
    EXPECT_EQ(BuildModeString(settings), L"baud=12a parity=M data=7 stop=1.5");
}

} // namespace
