#include "device/PortDiscovery.h"
#include "device/PortPath.h"
#include "device/PortTable.h"
#include "platform/Utf8.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace {

namespace fs = std::filesystem;

// Each test gets its own configuration folder, an empty device folder and
// no overrides.
class PortPath : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "taliard-ports-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_configHome = pattern;
        const char* previous = std::getenv("XDG_CONFIG_HOME");
        if (previous != nullptr)
            m_previousConfigHome = previous;
        setenv("XDG_CONFIG_HOME", m_configHome.c_str(), 1);
        SetDeviceRoot((m_configHome / "dev").string());
        ClearPortOverrides();
    }

    void TearDown() override
    {
        ClearPortOverrides();
        SetDeviceRoot("/dev");
        if (m_previousConfigHome)
            setenv("XDG_CONFIG_HOME", m_previousConfigHome->c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        fs::remove_all(m_configHome);
    }

    void WriteConfig(const std::string& text)
    {
        fs::create_directories(m_configHome / "taliard");
        std::ofstream(m_configHome / "taliard" / "ports.conf") << text;
    }

    fs::path m_configHome;
    std::optional<std::string> m_previousConfigHome;
};

TEST_F(PortPath, ComNamesWithoutADeviceResolveToNothing)
{
    EXPECT_FALSE(ResolvePortPath(L"COM1"));
    EXPECT_FALSE(ResolvePortPath(L"COM32"));
}

TEST_F(PortPath, ComNamesMayComeInAnyCase)
{
    ASSERT_TRUE(SetPortOverride("COM3=/dev/three"));
    EXPECT_EQ(ResolvePortPath(L"com3"), "/dev/three");
    EXPECT_EQ(ResolvePortPath(L"Com3"), "/dev/three");
}

TEST_F(PortPath, AbsolutePathsAreUsedAsTheyStand)
{
    EXPECT_EQ(ResolvePortPath(L"/dev/ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(ResolvePortPath(L"/dev/serial/by-id/Board_Ä"), "/dev/serial/by-id/Board_Ä");
}

TEST_F(PortPath, OtherNamesDoNotResolve)
{
    for (const wchar_t* name : { L"", L"COM", L"COM0", L"COM33", L"COM01", L"COM1 ", L" COM1", L"COMX",
                                 L"LPT1", L"ttyS0", L"dev/ttyS0", L"\\\\.\\COM1", L"ＣＯＭ1" })
        EXPECT_FALSE(ResolvePortPath(name)) << Utf8FromWide(name);
}

TEST_F(PortPath, ConfigFileMapsAPort)
{
    WriteConfig("COM3=/dev/ttyUSB0\n");
    EXPECT_EQ(ResolvePortPath(L"COM3"), "/dev/ttyUSB0");
    EXPECT_EQ(ResolvePortPath(L"com3"), "/dev/ttyUSB0");
    EXPECT_FALSE(ResolvePortPath(L"COM4"));
}

TEST_F(PortPath, ConfigFileIgnoresMalformedLinesAndUnknownPorts)
{
    WriteConfig("# my ports\n"
                "COM1\n"
                "COM1=\n"
                "COM1=relative/path\n"
                "COM0=/dev/zero0\n"
                "COM33=/dev/zero33\n"
                "LPT1=/dev/lp0\n"
                "garbage ==== /x\n"
                "  com2 = /dev/ttyACM0  \n"
                "COM5=/dev/first\n"
                "COM5=/dev/second\n");
    EXPECT_FALSE(ResolvePortPath(L"COM1"));
    EXPECT_EQ(ResolvePortPath(L"COM2"), "/dev/ttyACM0");
    EXPECT_EQ(ResolvePortPath(L"COM5"), "/dev/second") << "the last line for a port wins";
    EXPECT_FALSE(ResolvePortPath(L"COM33"));
}

TEST_F(PortPath, DefaultConfigFolderIsUnderHome)
{
    const char* home = std::getenv("HOME");
    const std::optional<std::string> previousHome = home != nullptr ? std::optional<std::string>(home) : std::nullopt;
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", m_configHome.c_str(), 1);
    fs::create_directories(m_configHome / ".config" / "taliard");
    std::ofstream(m_configHome / ".config" / "taliard" / "ports.conf") << "COM7=/dev/ttyHOME\n";
    const auto resolved = ResolvePortPath(L"COM7");
    if (previousHome)
        setenv("HOME", previousHome->c_str(), 1);
    EXPECT_EQ(resolved, "/dev/ttyHOME");
}

TEST_F(PortPath, CommandLineOverrideComesFirst)
{
    WriteConfig("COM3=/dev/fromfile\n");
    ASSERT_TRUE(SetPortOverride("COM3=/dev/fromoption"));
    EXPECT_EQ(ResolvePortPath(L"COM3"), "/dev/fromoption");
    ClearPortOverrides();
    EXPECT_EQ(ResolvePortPath(L"COM3"), "/dev/fromfile");
}

TEST_F(PortPath, OverridesAreRepeatableAndTheLastForAPortWins)
{
    ASSERT_TRUE(SetPortOverride("COM1=/dev/a"));
    ASSERT_TRUE(SetPortOverride("com2=/dev/b"));
    ASSERT_TRUE(SetPortOverride("COM1=/dev/c"));
    EXPECT_EQ(ResolvePortPath(L"COM1"), "/dev/c");
    EXPECT_EQ(ResolvePortPath(L"COM2"), "/dev/b");
}

TEST_F(PortPath, MalformedOverridesAreRefused)
{
    for (const char* text : { "", "COM1", "COM1=", "COM1=dev/x", "COM40=/dev/x", "=/dev/x", "PORT=/dev/x" })
        EXPECT_FALSE(SetPortOverride(text)) << text;
    EXPECT_FALSE(ResolvePortPath(L"COM1"));
}

} // namespace
