// The locale taken from the environment at start-up decides how the pane
// shows what a board prints: checked through the real window and a pty.
#include "ui/StartupLocale.h"

#include "device/PortPath.h"
#include "tests/support/PtyPair.h"
#include "tests/ui/support/EventPump.h"
#include "tests/ui/support/Locales.h"
#include "tests/ui/support/MainWindow.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cctype>
#include <cstdlib>
#include <string>

namespace {

using namespace std::chrono_literals;

struct LocaleCase {
    const char* environment; // LC_ALL as the user's session sets it
    const char* bytes;       // what the board prints
};

class StartupLocaleTest : public ::testing::TestWithParam<LocaleCase> {
protected:
    void SetUp() override
    {
        const std::string name = GetParam().environment;
        if (name != "C") {
            ASSERT_EQ(testsupport::MissingLocale(name), "");
        }
        ::setenv("LC_ALL", name.c_str(), 1);
        EXPECT_EQ(UseLocaleFromEnvironment(), "");
        ASSERT_TRUE(SetPortOverride("COM1=" + m_pty.SlavePath()));
        ASSERT_EQ(m_window.Doc().Connect(), 1) << m_window.Doc().GetLastConnectError();
    }
    void TearDown() override
    {
        ClearPortOverrides();
        ::unsetenv("LC_ALL");
        std::setlocale(LC_ALL, "C");
    }

    testsupport::PtyPair m_pty;
    testsupport::MainWindow m_window;
};

TEST_P(StartupLocaleTest, ThePaneShowsWhatTheBoardPrintsInTheUsersEncoding)
{
    const std::wstring expected = L"\u4e2d\u6587\u6d4b\u8bd5 \u00e9";
    ASSERT_TRUE(m_pty.WriteToPort(GetParam().bytes));
    EXPECT_TRUE(testsupport::PumpEventsUntil([&] { return m_window.Pane().GetValue().ToStdWstring() == expected; }, 10s))
        << m_window.Pane().GetValue().utf8_str().data();
}

constexpr const char* UTF8_TEXT = "\xe4\xb8\xad\xe6\x96\x87\xe6\xb5\x8b\xe8\xaf\x95 \xc3\xa9";
constexpr const char* GB18030_TEXT = "\xd6\xd0\xce\xc4\xb2\xe2\xca\xd4 \xa8\xa6";

INSTANTIATE_TEST_SUITE_P(Locales, StartupLocaleTest,
    ::testing::Values(LocaleCase { "C", UTF8_TEXT }, LocaleCase { "C.UTF-8", UTF8_TEXT },
                      LocaleCase { "zh_CN.UTF-8", UTF8_TEXT }, LocaleCase { "zh_CN.GB18030", GB18030_TEXT }),
    [](const ::testing::TestParamInfo<LocaleCase>& param) {
        std::string name = param.param.environment;
        for (char& ch : name) {
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        }
        return name;
    });

TEST(StartupLocale, ALocaleThatIsNotInstalledWarnsAndDecodesAsUtf8)
{
    ::setenv("LC_ALL", "xx_XX.NOSUCH", 1);
    EXPECT_NE(UseLocaleFromEnvironment().find("not installed"), std::string::npos);
    EXPECT_STREQ(std::setlocale(LC_CTYPE, nullptr), "C.UTF-8");
    ::unsetenv("LC_ALL");
    std::setlocale(LC_ALL, "C");
}

} // namespace
