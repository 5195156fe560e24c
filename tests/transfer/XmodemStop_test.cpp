// Ending a transfer from the user-interface side: Stop in every state the
// worker can be in, a new Start over a running one, and destruction. Stop
// never waits for the worker; the bound below only leaves room for a busy
// machine (the grace is 10 ms; a Stop that waited for these stuck workers
// would not return at all).
#include "tests/transfer/XmodemRig.h"

#include <gtest/gtest.h>

#include <optional>

namespace transfertest {
namespace {

constexpr auto PROMPT = 250ms;

std::chrono::milliseconds TimeOf(const std::function<void()>& action)
{
    const auto start = std::chrono::steady_clock::now();
    action();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
}

bool WaitFor(const std::atomic<bool>& flag, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!flag) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// A user-interface thread that never gets round to the work: the wait ends
// only when the caller is cancelled.
UiDispatchGuard StuckUiThread(std::atomic<bool>& entered)
{
    return UiDispatchGuard([&entered](const std::function<void()>&, const std::atomic<bool>& cancelled) {
        entered = true;
        while (!cancelled)
            std::this_thread::sleep_for(1ms);
        return false;
    });
}

class XmodemStop : public testing::Test {
protected:
    MessageBoxRecorder m_messages;
    XmodemRig m_rig;
};

TEST_F(XmodemStop, BeforeTheStartWritesNothing)
{
    m_rig.Load(XMODEM_CRC, RandomBytes(500, 1));
    m_rig.xmodem.Start();
    m_rig.xmodem.Stop();
    EXPECT_TRUE(m_rig.WaitUntilIdle());
    EXPECT_TRUE(m_rig.ReadQuiet().empty());
    EXPECT_TRUE(m_rig.owner.Progress().empty());
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(XmodemStop, DuringTheTransferWritesOneCan)
{
    const std::vector<uint8_t> content = RandomBytes(500, 2);
    m_rig.Load(XMODEM_CRC, content);
    m_rig.xmodem.Start();
    m_rig.Reply('C');
    EXPECT_EQ(m_rig.Read(133), ExpectedBlock(XMODEM_CRC, 1, content.data()));
    m_rig.xmodem.Stop();
    EXPECT_EQ(m_rig.ReadQuiet(), std::vector<uint8_t> { XMODEM_CAN });
    EXPECT_TRUE(m_rig.WaitUntilIdle());
    EXPECT_TRUE(m_rig.owner.Progress().empty());
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(XmodemStop, ReturnsPromptlyWhileABlockWriteIsBlocked)
{
    m_rig.Load(XMODEM_1KCRC, RandomBytes(1024 * 1024, 3));
    m_rig.xmodem.Start();
    m_rig.Reply('C');
    // Accept blocks without reading them until the line is full.
    for (int i = 0; i < 2000 && !m_rig.owner.WaitUntilWriteBlocked(5ms); ++i)
        m_rig.Reply(XMODEM_ACK);
    ASSERT_TRUE(m_rig.owner.WaitUntilWriteBlocked(5s));

    EXPECT_LT(TimeOf([&] { m_rig.xmodem.Stop(); }), PROMPT);
    EXPECT_TRUE(m_rig.WaitUntilIdle());
    EXPECT_EQ(m_rig.owner.CompleteCount() + m_rig.owner.FailedCount(), 0);
}

TEST(XmodemStopUi, ReturnsPromptlyWhileAProgressUpdateWaitsForTheUiThread)
{
    std::atomic<bool> entered { false };
    const UiDispatchGuard ui = StuckUiThread(entered);
    XmodemRig rig;
    const std::vector<uint8_t> content = RandomBytes(300, 4);
    rig.Load(XMODEM_CRC, content);
    rig.xmodem.Start();
    rig.Reply('C');
    EXPECT_EQ(rig.Read(133), ExpectedBlock(XMODEM_CRC, 1, content.data()));
    rig.Reply(XMODEM_ACK);
    ASSERT_TRUE(WaitFor(entered, 5s));

    EXPECT_LT(TimeOf([&] { rig.xmodem.Stop(); }), PROMPT);
    EXPECT_TRUE(rig.WaitUntilIdle());
    EXPECT_EQ(rig.ReadQuiet(), std::vector<uint8_t> { XMODEM_CAN });
    EXPECT_TRUE(rig.owner.Progress().empty());
}

TEST(XmodemStopUi, DestructionEndsAWorkerWaitingToReportFailure)
{
    const MessageBoxRecorder messages;
    std::atomic<bool> entered { false };
    const UiDispatchGuard ui = StuckUiThread(entered);
    std::optional<XmodemRig> rig(std::in_place);
    rig->Load(XMODEM_SUM, RandomBytes(100, 5));
    rig->xmodem.Start();
    rig->Reply(XMODEM_NAK); // the start
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(rig->Read(132).size(), 132u);
        rig->Reply(XMODEM_NAK);
    }
    ASSERT_TRUE(WaitFor(entered, 5s));
    EXPECT_FALSE(rig->xmodem.IsRunning()); // the block loop is over; the worker is not

    EXPECT_LT(TimeOf([&] { rig.reset(); }), PROMPT);
    EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(XmodemStop, StartOverARunningTransferCancelsItAndBeginsAgain)
{
    const std::vector<uint8_t> content = RandomBytes(200, 6);
    const std::vector<uint8_t> image = Padded(content, 128);
    m_rig.Load(XMODEM_CRC, content);
    m_rig.xmodem.Start();
    m_rig.Reply('C');
    EXPECT_EQ(m_rig.Read(133), ExpectedBlock(XMODEM_CRC, 1, image.data()));

    m_rig.xmodem.Start();
    EXPECT_EQ(m_rig.ReadQuiet(), std::vector<uint8_t> { XMODEM_CAN });
    m_rig.Reply('C');
    EXPECT_EQ(m_rig.Read(133), ExpectedBlock(XMODEM_CRC, 1, image.data()));
    m_rig.Reply(XMODEM_ACK);
    EXPECT_EQ(m_rig.Read(133), ExpectedBlock(XMODEM_CRC, 2, image.data() + 128));
    m_rig.Reply(XMODEM_ACK);
    EXPECT_EQ(m_rig.Read(1), std::vector<uint8_t> { XMODEM_EOT });
    ASSERT_TRUE(m_rig.owner.WaitUntilFinished(5s));
    EXPECT_EQ(m_rig.owner.Progress(), ExpectedProgress(2));
}

TEST_F(XmodemStop, ChangingTheModeEndsARunningTransfer)
{
    m_rig.Load(XMODEM_CRC, RandomBytes(200, 7));
    m_rig.xmodem.Start();
    m_rig.Reply('C');
    EXPECT_EQ(m_rig.Read(133).size(), 133u);
    m_rig.xmodem.SetMode(XMODEM_SUM);
    EXPECT_FALSE(m_rig.xmodem.IsRunning());
    EXPECT_EQ(m_rig.ReadQuiet(), std::vector<uint8_t> { XMODEM_CAN });
}

} // namespace
} // namespace transfertest
