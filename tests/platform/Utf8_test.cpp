#include "platform/Utf8.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf8FromWide, EncodesEachLength)
{
    EXPECT_EQ(Utf8FromWide(L"COM1"), "COM1");
    EXPECT_EQ(Utf8FromWide(L"\u00E9"), "\xC3\xA9");
    EXPECT_EQ(Utf8FromWide(L"串口"), "\xE4\xB8\xB2\xE5\x8F\xA3");
    EXPECT_EQ(Utf8FromWide(L"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8FromWide(L""), "");
}

TEST(Utf8FromWide, NonScalarValuesBecomeReplacementCharacters)
{
    const std::wstring text { static_cast<wchar_t>(0xD800), L'a', static_cast<wchar_t>(0x110000) };
    EXPECT_EQ(Utf8FromWide(text), "\xEF\xBF\xBD" "a" "\xEF\xBF\xBD");
}

TEST(PathFromWide, RefusesWhatWouldNameAnotherFile)
{
    EXPECT_EQ(PathFromWide(L"/tmp/串口.bin"), std::optional<std::string>("/tmp/\xE4\xB8\xB2\xE5\x8F\xA3.bin"));
    EXPECT_FALSE(PathFromWide(std::wstring(L"/tmp/a\0b", 8)));
    EXPECT_FALSE(PathFromWide(std::wstring { L'/', static_cast<wchar_t>(0xDC00) }));
}

} // namespace
