#include "demo/BoardProtocol.h"
#include "demo/CDemoBoard.h"
#include "device/PortPath.h"
#include "device/PortTable.h"
#include "tests/demo/BoardLine.h"

#include <gtest/gtest.h>

#include <time.h>

#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;
using demotest::BoardLine;

const std::string GREETING = std::string(CBoardProtocol::BANNER) + std::string(CBoardProtocol::PROMPT);
const std::string PROMPT(CBoardProtocol::PROMPT);

std::chrono::nanoseconds ProcessCpuTime()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

class DemoBoardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        m_pBoard = CDemoBoard::Create(error);
        ASSERT_NE(m_pBoard, nullptr) << error;
    }
    void TearDown() override { ClearPortOverrides(); }

    // Opens the port and takes the greeting.
    std::unique_ptr<BoardLine> OpenGreeted()
    {
        auto line = std::make_unique<BoardLine>(m_pBoard->GetPortPath());
        EXPECT_TRUE(line->IsOpen());
        std::string seen;
        EXPECT_TRUE(line->ReadUntil(GREETING, 3s, seen)) << seen;
        EXPECT_EQ(seen, GREETING);
        return line;
    }

    std::unique_ptr<CDemoBoard> m_pBoard;
};

TEST_F(DemoBoardTest, Com1LeadsToTheBoard)
{
    EXPECT_EQ(ResolvePortPath(L"COM1"), m_pBoard->GetPortPath());
    EXPECT_EQ(ResolvePortPath(L"com1"), m_pBoard->GetPortPath());
}

TEST_F(DemoBoardTest, SaysNothingUntilThePortIsOpened)
{
    std::this_thread::sleep_for(300ms);
    OpenGreeted(); // the greeting comes once and nothing is in front of it
}

TEST_F(DemoBoardTest, EchoesTypedBytes)
{
    auto line = OpenGreeted();
    ASSERT_TRUE(line->Write("abc"));
    std::string seen;
    EXPECT_TRUE(line->ReadUntil("abc", 2s, seen)) << seen;
    EXPECT_EQ(seen, "abc");
}

TEST_F(DemoBoardTest, AnswersHelp)
{
    auto line = OpenGreeted();
    ASSERT_TRUE(line->Write("help\r"));
    const std::string expected = "help\r\n" + std::string(CBoardProtocol::HELP_TEXT) + PROMPT;
    std::string seen;
    EXPECT_TRUE(line->ReadUntil(expected, 2s, seen)) << seen;
    EXPECT_EQ(seen, expected);
}

TEST_F(DemoBoardTest, StartsOverEachTimeThePortIsOpenedAgain)
{
    auto line = OpenGreeted();
    ASSERT_TRUE(line->Write("hel"));
    std::string seen;
    ASSERT_TRUE(line->ReadUntil("hel", 2s, seen));
    line.reset();
    std::this_thread::sleep_for(200ms); // let the board see the hang-up
    line = OpenGreeted();
    ASSERT_TRUE(line->Write("p\r"));
    seen.clear();
    EXPECT_TRUE(line->ReadUntil(PROMPT, 2s, seen)) << seen;
    EXPECT_NE(seen.find("Unknown command 'p'"), std::string::npos) << seen;
}

TEST_F(DemoBoardTest, AsksForAFileAfterXmodem)
{
    auto line = OpenGreeted();
    ASSERT_TRUE(line->Write("xmodem\r"));
    std::string seen;
    EXPECT_TRUE(line->ReadUntil(std::string(CBoardProtocol::XMODEM_READY) + "C", 2s, seen)) << seen;
}

TEST_F(DemoBoardTest, DoesNotSpinWhileNobodyHasThePortOpen)
{
    std::this_thread::sleep_for(100ms);
    auto before = ProcessCpuTime();
    std::this_thread::sleep_for(500ms);
    EXPECT_LT(ProcessCpuTime() - before, 50ms) << "before the first open";

    OpenGreeted().reset(); // the port is released again
    std::this_thread::sleep_for(100ms);
    before = ProcessCpuTime();
    std::this_thread::sleep_for(500ms);
    EXPECT_LT(ProcessCpuTime() - before, 50ms) << "after the port was released";
}

TEST_F(DemoBoardTest, EndsPromptlyWhetherOrNotThePortIsOpen)
{
    auto started = std::chrono::steady_clock::now();
    m_pBoard.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);

    std::string error;
    m_pBoard = CDemoBoard::Create(error);
    ASSERT_NE(m_pBoard, nullptr) << error;
    auto line = OpenGreeted();
    ASSERT_TRUE(line->Write("xmodem\r")); // waiting on a transfer deadline
    started = std::chrono::steady_clock::now();
    m_pBoard.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);
}

} // namespace
