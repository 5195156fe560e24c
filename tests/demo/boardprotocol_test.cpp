#include "demo/BoardProtocol.h"
#include "demo/Crc32.h"
#include "tests/demo/XmodemTestBlocks.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

using namespace std::chrono_literals;
using demotest::Check;
using demotest::MakeBlock;
using demotest::Pattern;

class BoardProtocolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_board.OnOpen();
        m_board.TakeOutput();
    }

    std::string Type(const std::string& text)
    {
        m_board.OnReceive(reinterpret_cast<const uint8_t*>(text.data()), text.size(), m_now);
        return Take();
    }
    std::string Send(const std::vector<uint8_t>& bytes)
    {
        m_board.OnReceive(bytes.data(), bytes.size(), m_now);
        return Take();
    }
    std::string Advance(std::chrono::milliseconds step)
    {
        m_now += step;
        m_board.OnTime(m_now);
        return Take();
    }
    std::string Take()
    {
        const std::vector<uint8_t> out = m_board.TakeOutput();
        return std::string(out.begin(), out.end());
    }

    static std::string Prompt() { return std::string(CBoardProtocol::PROMPT); }

    CBoardProtocol m_board;
    CBoardProtocol::Clock::time_point m_now { 500s };
};

TEST_F(BoardProtocolTest, GreetsWithBannerAndPromptWhenOpened)
{
    m_board.OnOpen();
    EXPECT_EQ(Take(), std::string(CBoardProtocol::BANNER) + Prompt());
}

TEST_F(BoardProtocolTest, EchoesEveryTypedByte)
{
    EXPECT_EQ(Type("he"), "he");
    EXPECT_EQ(Type(std::string("\x01\xff", 2)), std::string("\x01\xff", 2));
}

TEST_F(BoardProtocolTest, HelpListsTheCommands)
{
    const std::string answer = Type("help\r");
    EXPECT_EQ(answer, "help\r\n" + std::string(CBoardProtocol::HELP_TEXT) + Prompt());
    EXPECT_NE(answer.find("xmodem"), std::string::npos);
}

TEST_F(BoardProtocolTest, CommandsIgnoreCaseAndSurroundingBlanks)
{
    EXPECT_EQ(Type("  HeLp \r"), "  HeLp \r\n" + std::string(CBoardProtocol::HELP_TEXT) + Prompt());
}

TEST_F(BoardProtocolTest, CrLfEndsOneLineOnly)
{
    EXPECT_EQ(Type("\r\n"), "\r\n" + Prompt());
    EXPECT_EQ(Type("help\r\n\n"), "help\r\n" + std::string(CBoardProtocol::HELP_TEXT) + Prompt() + "\r\n" + Prompt());
}

TEST_F(BoardProtocolTest, LfAloneEndsALine)
{
    EXPECT_EQ(Type("help\n"), "help\r\n" + std::string(CBoardProtocol::HELP_TEXT) + Prompt());
}

TEST_F(BoardProtocolTest, AnswersAnUnknownLineBriefly)
{
    EXPECT_EQ(Type("reboot now\r"), "reboot now\r\nUnknown command 'reboot now'. Type help for the commands.\r\n" + Prompt());
}

TEST_F(BoardProtocolTest, BackspaceAndDeleteEditTheLine)
{
    EXPECT_EQ(Type("hx\bel\x7fl"), "hx\bel\x7fl");
    EXPECT_EQ(Type("p\r"), "p\r\n" + std::string(CBoardProtocol::HELP_TEXT) + Prompt());
    EXPECT_EQ(Type("\b\b\r"), "\b\b\r\n" + Prompt());
}

TEST_F(BoardProtocolTest, AVeryLongLineIsCutButStillEchoed)
{
    const std::string line(5000, 'a');
    const std::string answer = Type(line + "\r");
    EXPECT_EQ(answer.substr(0, 5000), line);
    EXPECT_NE(answer.find("'" + std::string(CBoardProtocol::MAX_LINE, 'a') + "'"), std::string::npos);
}

TEST_F(BoardProtocolTest, SaysNoCapitalCBeforeATransfer)
{
    m_board.OnOpen();
    const std::string said = Take() + Type("help\r") + Type("what\r") + Type("xmodem\r");
    EXPECT_EQ(said.find('C'), said.size() - 1) << said; // only the receiver's ask
}

TEST_F(BoardProtocolTest, HasNoDeadlineInLineMode)
{
    EXPECT_FALSE(m_board.NextDeadline().has_value());
    EXPECT_EQ(Advance(60s), "");
}

TEST_F(BoardProtocolTest, XmodemReceivesAFileAndReportsSizeAndCrc32)
{
    EXPECT_EQ(Type("xmodem\r"), "xmodem\r\n" + std::string(CBoardProtocol::XMODEM_READY) + "C");
    ASSERT_TRUE(m_board.IsReceivingFile());
    ASSERT_EQ(m_board.NextDeadline(), m_now + 1s);
    std::vector<uint8_t> all;
    for (uint8_t n = 1; n <= 100; ++n) {
        const std::vector<uint8_t> data = Pattern(1024, n);
        all.insert(all.end(), data.begin(), data.end());
        ASSERT_EQ(Send(MakeBlock(n, data, Check::Crc)), "\x06");
    }
    char report[80];
    std::snprintf(report, sizeof report, "\x06\r\nReceived 102400 bytes, CRC-32 0x%08X\r\n",
                  Crc32(all.data(), all.size()));
    EXPECT_EQ(Send({ 0x04 }), report + Prompt());
    EXPECT_FALSE(m_board.IsReceivingFile());
    EXPECT_EQ(Type("ok"), "ok");
}

TEST_F(BoardProtocolTest, DoesNotEchoDuringATransfer)
{
    Type("xmodem\r");
    EXPECT_EQ(Type("hello"), "");
}

TEST_F(BoardProtocolTest, ReportsACancelFromTheSender)
{
    Type("xmodem\r");
    EXPECT_EQ(Send({ 0x18 }), "\r\nTransfer cancelled by the sender\r\n" + Prompt());
}

TEST_F(BoardProtocolTest, ReportsAnAbandonedTransfer)
{
    Type("xmodem\r");
    Advance(9s);
    EXPECT_EQ(Advance(1s), "\x18\x18\r\nNo data for 10 s, transfer abandoned\r\n" + Prompt());
    EXPECT_FALSE(m_board.NextDeadline().has_value());
}

TEST_F(BoardProtocolTest, ReportsABlockOutOfSequence)
{
    Type("xmodem\r");
    EXPECT_EQ(Send(MakeBlock(5, Pattern(128, 1), Check::Crc)),
              "\x18\x18\r\nBlock out of sequence, transfer cancelled\r\n" + Prompt());
}

TEST_F(BoardProtocolTest, BytesAfterTheEndOfATransferAreLineInputAgain)
{
    Type("xmodem\r");
    std::vector<uint8_t> bytes = { 0x04 };
    const std::string help = "help\r";
    bytes.insert(bytes.end(), help.begin(), help.end());
    const std::string answer = Send(bytes);
    EXPECT_NE(answer.find("Received 0 bytes"), std::string::npos);
    EXPECT_NE(answer.find(std::string(CBoardProtocol::HELP_TEXT)), std::string::npos);
}

TEST_F(BoardProtocolTest, HangUpDropsTheTransferAndTheHalfTypedLine)
{
    Type("xmodem\r");
    m_board.OnHangUp();
    EXPECT_FALSE(m_board.IsReceivingFile());
    EXPECT_EQ(Take(), "");
    m_board.OnOpen();
    Take();
    Type("hel");
    m_board.OnHangUp();
    m_board.OnOpen();
    Take();
    EXPECT_EQ(Type("p\r"), "p\r\nUnknown command 'p'. Type help for the commands.\r\n" + Prompt());
}

} // namespace
