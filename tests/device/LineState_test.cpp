#include "device/LineState.h"
#include "device/SerialSettings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

namespace {

std::optional<LineState> ParseBaudText(const std::wstring& baud)
{
    return ParseModeString(BuildModeString({ L"COM1", baud, L"无", L"8", L"1" }));
}

TEST(ParseModeString, ReadsEveryKey)
{
    const auto line = ParseModeString(L"baud=57600 parity=M data=7 stop=1.5");
    ASSERT_TRUE(line);
    EXPECT_EQ(*line, (LineState { 57600, 7, Parity::Mark, StopBits::OnePointFive }));
}

TEST(ParseModeString, KeysMayComeInAnyOrder)
{
    EXPECT_EQ(ParseModeString(L"stop=2 data=5 parity=S baud=300"),
              (LineState { 300, 5, Parity::Space, StopBits::Two }));
}

class TwoDigitRate : public testing::TestWithParam<std::pair<std::wstring, uint32_t>> {};

TEST_P(TwoDigitRate, StandsForItsFullRate)
{
    const auto line = ParseBaudText(GetParam().first);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->nBaudRate, GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Abbreviations, TwoDigitRate, testing::Values(
    std::make_pair(std::wstring(L"11"), 110u), std::make_pair(std::wstring(L"15"), 150u),
    std::make_pair(std::wstring(L"30"), 300u), std::make_pair(std::wstring(L"60"), 600u),
    std::make_pair(std::wstring(L"12"), 1200u), std::make_pair(std::wstring(L"24"), 2400u),
    std::make_pair(std::wstring(L"48"), 4800u), std::make_pair(std::wstring(L"96"), 9600u),
    std::make_pair(std::wstring(L"19"), 19200u),
    // Not abbreviations: taken as they stand.
    std::make_pair(std::wstring(L"10"), 10u), std::make_pair(std::wstring(L"110"), 110u),
    std::make_pair(std::wstring(L"204800"), 204800u), std::make_pair(std::wstring(L"4294967295"), 4294967295u)));

class BadBaudText : public testing::TestWithParam<std::wstring> {};

TEST_P(BadBaudText, IsRefused)
{
    EXPECT_FALSE(ParseBaudText(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Texts, BadBaudText, testing::Values(
    std::wstring(L"abc"), std::wstring(L""), std::wstring(L"-5"), std::wstring(L"115200x"),
    std::wstring(L" "), std::wstring(L"0"), std::wstring(L"00"), std::wstring(L"99999999999"),
    std::wstring(L"4294967296"), std::wstring(L"+9600"), std::wstring(L"96 00"),
    std::wstring(L"9600 parity=E"), std::wstring(L"１２００"), std::wstring(L"1e5"),
    std::wstring(10000, L'9'), std::wstring(10000, L'x')));

class BadModeString : public testing::TestWithParam<std::wstring> {};

TEST_P(BadModeString, IsRefused)
{
    EXPECT_FALSE(ParseModeString(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Texts, BadModeString, testing::Values(
    std::wstring(L""),
    std::wstring(L"baud=9600 parity=N data=8"),
    std::wstring(L"baud=9600 parity=N data=8 stop=1 stop=1"),
    std::wstring(L"baud=9600 parity=X data=8 stop=1"),
    std::wstring(L"baud=9600 parity=NN data=8 stop=1"),
    std::wstring(L"baud=9600 parity=N data=4 stop=1"),
    std::wstring(L"baud=9600 parity=N data=9 stop=1"),
    std::wstring(L"baud=9600 parity=N data=8 stop=3"),
    std::wstring(L"baud=9600 parity=N data=8 stop=1.0"),
    std::wstring(L"baud=9600 parity=N data=8 stop=1 flow=x"),
    std::wstring(L"baud 9600 parity=N data=8 stop=1")));

} // namespace
