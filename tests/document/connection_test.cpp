// Connecting, releasing and sending through the document on a real pty.
#include "tests/document/DocFixture.h"

namespace {

using Bytes = std::vector<uint8_t>;

class Connection : public DocFixture {
protected:
    Bytes ReadLine(size_t count) { return m_pty.ReadFromPort(count, std::chrono::seconds(5)); }
    Bytes Silence() { return m_pty.ReadUntilQuiet(std::chrono::milliseconds(100)); }
};

TEST_F(Connection, NewDocumentHasTheDefaultSettings)
{
    ASSERT_TRUE(m_doc->OnNewDocument());
    EXPECT_EQ(m_doc->m_settings.m_strPortName, L"COM1");
    EXPECT_EQ(m_doc->m_settings.m_strBaudRate, L"115200");
    EXPECT_EQ(m_doc->m_settings.m_strParity, L"N");
    EXPECT_EQ(m_doc->m_settings.m_strDataBits, L"8");
    EXPECT_EQ(m_doc->m_settings.m_strStopBits, L"1");
    EXPECT_FALSE(m_doc->IsConnected());
}

TEST_F(Connection, FailedConnectShowsTheMessageAndStaysReleased)
{
    m_doc->m_settings.m_strPortName = L"/dev/taliard-no-such-port";
    EXPECT_EQ(m_doc->Connect(), 0);
    EXPECT_FALSE(m_doc->IsConnected());
    const auto messages = Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"串口打开失败，请检查！");
    EXPECT_EQ(messages[0].icon, platform::MessageIcon::Exclamation);
    EXPECT_NE(m_doc->GetLastConnectError().find("/dev/taliard-no-such-port"), std::string::npos);

    m_doc->m_settings.m_strBaudRate = L"115200x";
    m_doc->m_settings.m_strPortName = std::wstring(m_pty.SlavePath().begin(), m_pty.SlavePath().end());
    EXPECT_EQ(m_doc->Connect(), 0);
    m_doc->m_settings.m_strBaudRate = L"9600";
    EXPECT_EQ(m_doc->Connect(), 1);
}

TEST_F(Connection, DisconnectWithoutConnectIsHarmless)
{
    m_doc->Disconnect();
    m_doc->Disconnect();
    EXPECT_FALSE(m_doc->IsConnected());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(Connection, SendTextWritesOneBytePerCharacter)
{
    ASSERT_EQ(m_doc->Connect(), 1);
    m_doc->SendText(L"");
    EXPECT_TRUE(Silence().empty());
    m_doc->SendText(L"AB");
    EXPECT_EQ(ReadLine(2), (Bytes { 0x41, 0x42 }));
    m_doc->SendText(L"\u00e9\r\n");
    EXPECT_EQ(ReadLine(3), (Bytes { 0xE9, 0x0D, 0x0A }));
}

TEST_F(Connection, SendTextLongerThan512CharactersGoesOutWhole)
{
    ASSERT_EQ(m_doc->Connect(), 1);
    std::wstring text;
    for (int i = 0; i < 5000; ++i)
        text += static_cast<wchar_t>(L'a' + i % 26);
    m_doc->SendText(text);
    const Bytes got = ReadLine(text.size());
    ASSERT_EQ(got.size(), text.size());
    EXPECT_TRUE(std::equal(got.begin(), got.end(), text.begin()));
}

TEST_F(Connection, CharacterAboveFFSendsNothingAndShowsTheImproperArgumentBox)
{
    m_doc->SendText(L"ok\u4e2d"); // not connected: silent
    EXPECT_TRUE(Messages().empty());

    ASSERT_EQ(m_doc->Connect(), 1);
    m_doc->SendText(L"ok\u4e2d");
    EXPECT_TRUE(Silence().empty());
    const auto messages = Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"Encountered an improper argument.");
    EXPECT_EQ(messages[0].icon, platform::MessageIcon::Stop);
}

TEST_F(Connection, WritesWhileReleasedAreDropped)
{
    const uint8_t byte = 'x';
    m_doc->WriteBytes(&byte, 1);
    m_doc->SendText(L"hello");
    ASSERT_EQ(m_doc->Connect(), 1);
    m_doc->Disconnect();
    m_doc->WriteBytes(&byte, 1);
    EXPECT_TRUE(Silence().empty());
}

TEST_F(Connection, NewDocumentWhileConnectedKeepsTheLineUsable)
{
    ASSERT_EQ(m_doc->Connect(), 1);
    ASSERT_TRUE(m_pty.WriteToPort("abc"));
    ASSERT_TRUE(WaitUntil([&] { return BufferSize() == 3; }));
    ASSERT_TRUE(m_doc->OnNewDocument());
    EXPECT_EQ(BufferSize(), 0u);
    EXPECT_TRUE(m_doc->IsConnected());
    m_doc->SendText(L"still here");
    EXPECT_EQ(ReadLine(10).size(), 10u);
    ASSERT_TRUE(m_pty.WriteToPort("xy"));
    EXPECT_TRUE(WaitUntil([&] { return BufferSize() == 2; }));
}

TEST_F(Connection, ConnectWhileConnectedReopensWithTheCurrentSettings)
{
    ASSERT_EQ(m_doc->Connect(), 1);
    m_doc->m_settings.m_strBaudRate = L"9600";
    ASSERT_EQ(m_doc->Connect(), 1);
    m_doc->SendText(L"Z");
    EXPECT_EQ(ReadLine(1), Bytes { 'Z' });
}

} // namespace
