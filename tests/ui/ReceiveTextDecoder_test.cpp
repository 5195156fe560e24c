#include "ui/ReceiveTextDecoder.h"

#include "tests/ui/support/ScopedUtf8Locale.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

// The decoder follows LC_CTYPE; these cases are written for UTF-8.
class ReceiveTextDecoderTest : public ::testing::TestWithParam<std::pair<std::string, std::wstring>> {
protected:
    void SetUp() override { ASSERT_TRUE(m_locale.IsActive()) << "the C.UTF-8 locale is missing (Debian package libc-bin)"; }

    static std::wstring Decode(const std::string& bytes)
    {
        return DecodeReceivedText(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }

private:
    testsupport::ScopedUtf8Locale m_locale;
};

TEST_P(ReceiveTextDecoderTest, DecodesAsTheTableSays)
{
    EXPECT_EQ(Decode(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Utf8, ReceiveTextDecoderTest,
    ::testing::Values(
        std::pair<std::string, std::wstring> { "", L"" },
        std::pair<std::string, std::wstring> { "hello", L"hello" },
        // Line ends and control characters go through untouched.
        std::pair<std::string, std::wstring> { "a\r\nb\tc\x07\x1b[0m", L"a\r\nb\tc\x07\x1b[0m" },
        std::pair<std::string, std::wstring> { "\xe4\xb8\xad\xe6\x96\x87 ok", L"\u4e2d\u6587 ok" },
        std::pair<std::string, std::wstring> { "\xc3\xa9t\xc3\xa9", L"\u00e9t\u00e9" },
        std::pair<std::string, std::wstring> { "\xf0\x9f\x98\x80!", L"\U0001F600!" },
        // One stray byte is one replacement character, and decoding goes on.
        std::pair<std::string, std::wstring> { "a\xff" "b", L"a\ufffd" "b" },
        std::pair<std::string, std::wstring> { "\x80\x80x", L"\ufffd\ufffdx" },
        // A trimmed buffer can start inside a character.
        std::pair<std::string, std::wstring> { "\xad\xe6\x96\x87", L"\ufffd\u6587" },
        // A character broken off by a byte that cannot continue it.
        std::pair<std::string, std::wstring> { "\xe4\xb8z", L"\ufffd\ufffdz" },
        // Overlong forms and surrogates are not characters.
        std::pair<std::string, std::wstring> { "\xc0\xafq", L"\ufffd\ufffdq" },
        std::pair<std::string, std::wstring> { "\xed\xa0\x80q", L"\ufffd\ufffd\ufffdq" },
        // The end of the data cuts a character: one replacement until the
        // rest arrives.
        std::pair<std::string, std::wstring> { "ab\xe4\xb8", L"ab\ufffd" },
        std::pair<std::string, std::wstring> { "ab\xe4", L"ab\ufffd" },
        std::pair<std::string, std::wstring> { "ab\xe4\xb8\xad", L"ab\u4e2d" },
        // Zero bytes never reach the pane.
        std::pair<std::string, std::wstring> { std::string("a\0b", 3), L"ab" }));

TEST_F(ReceiveTextDecoderTest, AStrayByteNeverBlanksALongText)
{
    std::string bytes(20480, 'x');
    bytes[10000] = '\xfe';
    const std::wstring text = Decode(bytes);
    ASSERT_EQ(text.size(), bytes.size());
    EXPECT_EQ(text[10000], REPLACEMENT_CHARACTER);
    EXPECT_EQ(text.back(), L'x');
}

} // namespace
