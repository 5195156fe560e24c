// Bad input at every entry the user reaches: custom baud texts, text to
// send, and port names outside COM1..COM32 through the mapping file.
#include "device/PortDiscovery.h"
#include "device/PortTable.h"
#include "tests/document/DocFixture.h"
#include "tests/reliability/ReliabilitySupport.h"
#include "transfer/XmodemBlock.h"

#include <cstdlib>
#include <fstream>

namespace {

using namespace std::chrono_literals;
using namespace reliability;

const std::wstring OPEN_FAILED = L"串口打开失败，请检查！";

class BadBaud : public DocFixture, public ::testing::WithParamInterface<std::wstring> { };

TEST_P(BadBaud, ConnectFailsWithItsMessageAndAGoodRateConnectsAfterwards)
{
    m_doc->m_settings.m_strBaudRate = GetParam();
    EXPECT_EQ(m_doc->Connect(), 0);
    EXPECT_FALSE(m_doc->IsConnected());
    EXPECT_FALSE(m_doc->GetLastConnectError().empty());
    const auto messages = Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, OPEN_FAILED);
    m_doc->SendText(L"dropped"); // released: nothing to write to

    m_doc->m_settings.m_strBaudRate = L"115200";
    ASSERT_EQ(m_doc->Connect(), 1);
    m_doc->SendText(L"ok");
    const auto out = m_pty.ReadFromPort(2, 5s);
    EXPECT_EQ(std::string(out.begin(), out.end()), "ok");
}

INSTANTIATE_TEST_SUITE_P(Texts, BadBaud,
    ::testing::Values(L"", L" ", L"abc", L"0", L"-1", L"115200x", L"99999999999", std::wstring(10000, L'9')),
    [](const ::testing::TestParamInfo<std::wstring>& param) { return "Case" + std::to_string(param.index); });

TEST_F(DocFixture, BlanksAroundACustomRateAreIgnoredOnEitherSide)
{
    for (const std::wstring baud : { L" 115200", L"115200 ", L"\t115200 " }) {
        m_doc->m_settings.m_strBaudRate = baud;
        EXPECT_EQ(m_doc->Connect(), 1) << baud.size() << " characters";
    }
    EXPECT_TRUE(Messages().empty());
}

class SendTextInput : public DocFixture {
protected:
    void SetUp() override
    {
        DocFixture::SetUp();
        ASSERT_EQ(m_doc->Connect(), 1);
    }

    // Sends on this thread while another drains the far end, as a long
    // text fills the line's buffer.
    std::vector<uint8_t> SendAndRead(const std::wstring& text, size_t expected)
    {
        std::vector<uint8_t> got;
        std::thread reader([&] { got = m_pty.ReadFromPort(expected, 60s); });
        m_doc->SendText(text);
        reader.join();
        return got;
    }
};

TEST_F(SendTextInput, OneMegabyteGoesOutWholeAndInOrder)
{
    const auto bytes = StreamBytes(0, 1 << 20);
    const std::wstring text(bytes.begin(), bytes.end());
    EXPECT_EQ(SendAndRead(text, bytes.size()), bytes);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(SendTextInput, AMegabyteAfterACancelledTransferGoesOutWhole)
{
    WriteFile(m_dir / "image.bin", StreamBytes(0, 4096));
    m_doc->m_sendPath = Wide(m_dir / "image.bin");
    m_doc->StartFileSend(XMODEM_CRC);
    ASSERT_TRUE(m_pty.WriteToPort("C"));
    ASSERT_EQ(m_pty.ReadFromPort(133, 10s).size(), 133u); // block 1
    m_doc->CancelFileSend();
    ASSERT_EQ(m_pty.ReadUntilQuiet(300ms), std::vector<uint8_t> { XMODEM_CAN });

    // The far end reads late, so the text must wait for room on the line.
    const auto bytes = StreamBytes(1, 1 << 20);
    std::vector<uint8_t> got;
    std::thread reader([&] {
        std::this_thread::sleep_for(300ms);
        got = m_pty.ReadFromPort(bytes.size(), 10s);
    });
    m_doc->SendText(std::wstring(bytes.begin(), bytes.end()));
    reader.join();
    EXPECT_EQ(got.size(), bytes.size());
    EXPECT_TRUE(got == bytes);
}

TEST_F(SendTextInput, OnlyLineEndsGoOutUntranslated)
{
    std::wstring text;
    for (int i = 0; i < 1000; ++i)
        text += L"\r\n";
    const auto got = SendAndRead(text, text.size());
    ASSERT_EQ(got.size(), text.size());
    EXPECT_TRUE(std::equal(got.begin(), got.end(), text.begin()));
}

TEST_F(SendTextInput, ACharacterAboveFFDeepInAMegabyteSendsNothing)
{
    std::wstring text(1 << 20, L'x');
    text[text.size() - 1] = L'\u4E2D';
    m_doc->SendText(text);
    EXPECT_TRUE(m_pty.ReadUntilQuiet(200ms).empty());
    const auto messages = Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"Encountered an improper argument.");
}

// A mapping file with entries outside COM1..COM32 and broken lines.
class PortMapping : public DocFixture {
protected:
    void SetUp() override
    {
        DocFixture::SetUp();
        const char* old = std::getenv("XDG_CONFIG_HOME");
        m_oldConfig = old ? std::optional<std::string>(old) : std::nullopt;
        std::filesystem::create_directories(m_dir / "taliard");
        const std::string pty = m_pty.SlavePath();
        std::ofstream conf(m_dir / "taliard" / "ports.conf");
        conf << "COM0=" << pty << "\nCOM33=" << pty << "\nCOM99999999999=" << pty << "\nCOM-1=" << pty
             << "\nCOM01=" << pty << "\ncom1=relative/path\nCOM=" << pty << "\n=\n" << std::string(10000, 'C')
             << "\nCOM3=/" << std::string(1 << 20, 'a') << "\n\xff\xfe=" << pty << "\n  com2 =  " << pty << "  \n";
        conf.close();
        setenv("XDG_CONFIG_HOME", m_dir.c_str(), 1);
        SetDeviceRoot((m_dir / "dev").string());
    }

    void TearDown() override
    {
        SetDeviceRoot("/dev");
        if (m_oldConfig)
            setenv("XDG_CONFIG_HOME", m_oldConfig->c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        DocFixture::TearDown();
    }

    std::optional<std::string> m_oldConfig;
};

TEST_F(PortMapping, NamesOutsideTheRangeConnectToNothing)
{
    for (const std::wstring name : { L"COM0", L"COM33", L"COM99999999999", L"COM-1", L"COM01", L"COM", L"",
             L"\u4E2D", L"relative/path" }) {
        m_doc->m_settings.m_strPortName = name;
        EXPECT_EQ(m_doc->Connect(), 0) << "port name of " << name.size() << " characters";
        EXPECT_FALSE(m_doc->IsConnected());
    }
    EXPECT_EQ(Messages().size(), 9u);
    // A mapping with a relative path is ignored, and no device is there.
    EXPECT_FALSE(ResolvePortPath(L"COM1"));
    // So is a line longer than any path.
    EXPECT_FALSE(ResolvePortPath(L"COM3"));
    // The good line among the bad ones still maps its port.
    m_doc->m_settings.m_strPortName = L"COM2";
    ASSERT_EQ(m_doc->Connect(), 1);
    m_doc->SendText(L"mapped");
    const auto out = m_pty.ReadFromPort(6, 5s);
    EXPECT_EQ(std::string(out.begin(), out.end()), "mapped");
}

} // namespace
