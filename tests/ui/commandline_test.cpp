#include "ui/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Parsed {
    bool bOk = false;
    CommandLineOptions options;
    std::string error;
};

Parsed Parse(const std::vector<std::string>& arguments)
{
    Parsed parsed;
    parsed.bOk = ParseCommandLine(arguments, parsed.options, parsed.error);
    return parsed;
}

TEST(CommandLine, NoArgumentsMeanNothingSet)
{
    const Parsed parsed = Parse({});
    ASSERT_TRUE(parsed.bOk);
    EXPECT_FALSE(parsed.options.bDemo);
    EXPECT_FALSE(parsed.options.bHelp);
    EXPECT_FALSE(parsed.options.bVersion);
    EXPECT_TRUE(parsed.options.ports.empty());
    EXPECT_TRUE(parsed.options.fileName.empty());
}

TEST(CommandLine, FlagsAndAFileName)
{
    const Parsed parsed = Parse({ "--demo", "notes.tld", "--help", "--version", "--list-ports" });
    ASSERT_TRUE(parsed.bOk) << parsed.error;
    EXPECT_TRUE(parsed.options.bDemo);
    EXPECT_TRUE(parsed.options.bHelp);
    EXPECT_TRUE(parsed.options.bListPorts);
    EXPECT_TRUE(parsed.options.bVersion);
    EXPECT_EQ(parsed.options.fileName, "notes.tld");
}

TEST(CommandLine, PortMappingsInBothFormsKeepTheirOrder)
{
    const Parsed parsed = Parse({ "--port", "COM1=/dev/ttyUSB0", "--port=com32=/tmp/a=b", "--port", "Com7=/dev/pts/3" });
    ASSERT_TRUE(parsed.bOk) << parsed.error;
    ASSERT_EQ(parsed.options.ports.size(), 3u);
    EXPECT_EQ(parsed.options.ports[0].nPort, 1);
    EXPECT_EQ(parsed.options.ports[0].path, "/dev/ttyUSB0");
    EXPECT_EQ(parsed.options.ports[1].nPort, 32);
    EXPECT_EQ(parsed.options.ports[1].path, "/tmp/a=b");
    EXPECT_EQ(parsed.options.ports[2].nPort, 7);
    EXPECT_EQ(parsed.options.ports[2].path, "/dev/pts/3");
}

TEST(CommandLine, DoubleDashEndsTheOptions)
{
    const Parsed parsed = Parse({ "--", "--demo" });
    ASSERT_TRUE(parsed.bOk) << parsed.error;
    EXPECT_FALSE(parsed.options.bDemo);
    EXPECT_EQ(parsed.options.fileName, "--demo");
}

struct BadLine {
    std::vector<std::string> arguments;
    std::string error;
};

class CommandLineErrors : public ::testing::TestWithParam<BadLine> {};

TEST_P(CommandLineErrors, AreOneLineOfText)
{
    const Parsed parsed = Parse(GetParam().arguments);
    EXPECT_FALSE(parsed.bOk);
    EXPECT_EQ(parsed.error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommandLineErrors,
    ::testing::Values(
        BadLine { { "--x" }, "taliard: unknown option '--x' (try --help)" },
        BadLine { { "-d" }, "taliard: unknown option '-d' (try --help)" },
        BadLine { { "-" }, "taliard: unknown option '-' (try --help)" },
        BadLine { { "--demo", "--portx=COM1=/a" }, "taliard: unknown option '--portx=COM1=/a' (try --help)" },
        BadLine { { "--demo=yes" }, "taliard: option '--demo' takes no value (try --help)" },
        BadLine { { "--port" }, "taliard: option '--port' needs COMn=PATH (try --help)" },
        BadLine { { "--port", "COM0=/dev/a" }, "taliard: bad port mapping 'COM0=/dev/a': expected COMn=PATH with n from 1 to 32 and an absolute PATH" },
        BadLine { { "--port=COM33=/dev/a" }, "taliard: bad port mapping 'COM33=/dev/a': expected COMn=PATH with n from 1 to 32 and an absolute PATH" },
        BadLine { { "--port", "COM01=/dev/a" }, "taliard: bad port mapping 'COM01=/dev/a': expected COMn=PATH with n from 1 to 32 and an absolute PATH" },
        BadLine { { "--port", "COM2=dev/ttyUSB0" }, "taliard: bad port mapping 'COM2=dev/ttyUSB0': expected COMn=PATH with n from 1 to 32 and an absolute PATH" },
        BadLine { { "--port", "COM1=" }, "taliard: bad port mapping 'COM1=': expected COMn=PATH with n from 1 to 32 and an absolute PATH" },
        BadLine { { "--port", "COM1" }, "taliard: bad port mapping 'COM1': expected COMn=PATH with n from 1 to 32 and an absolute PATH" },
        BadLine { { "--port", "LPT1=/dev/a" }, "taliard: bad port mapping 'LPT1=/dev/a': expected COMn=PATH with n from 1 to 32 and an absolute PATH" },
        BadLine { { "--port", "COMx=/dev/a" }, "taliard: bad port mapping 'COMx=/dev/a': expected COMn=PATH with n from 1 to 32 and an absolute PATH" },
        BadLine { { "a.tld", "b.tld" }, "taliard: more than one file name: 'a.tld' and 'b.tld'" },
        BadLine { { "" }, "taliard: empty argument (try --help)" }));

TEST(CommandLine, PortTakesTheNextArgumentEvenIfItLooksLikeAnOption)
{
    const Parsed parsed = Parse({ "--port", "--demo" });
    EXPECT_FALSE(parsed.bOk);
    EXPECT_EQ(parsed.error, "taliard: bad port mapping '--demo': expected COMn=PATH with n from 1 to 32 and an absolute PATH");
}

TEST(CommandLine, HelpNamesEveryOption)
{
    const std::string help = CommandLineHelpText();
    for (const char* option : { "--demo", "--port COMn=PATH", "--list-ports", "-h, --help", "--version", "连接串口" })
        EXPECT_NE(help.find(option), std::string::npos) << option;
    EXPECT_EQ(help.back(), '\n');
    EXPECT_TRUE(Parse({ "-h" }).options.bHelp);
}

} // namespace
