// The sender's answers to a receiver scripted on the pty master: start
// rules, negative replies and their limit, silence, CAN, block numbering.
#include "tests/support/WaitUntil.h"
#include "tests/transfer/XmodemRig.h"

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <set>
#include <thread>

namespace transfertest {
namespace {

const std::wstring FAILURE_MESSAGE = L"板卡烧写异常，请重新烧写！";

class XmodemReplies : public testing::Test {
protected:
    // Long enough that a slow test thread never looks like silence.
    explicit XmodemReplies(uint32_t replyTimeoutMs = 3000)
        : m_rig(replyTimeoutMs)
    {
    }

    // Loads content in mode and starts the sender.
    void StartSending(int32_t mode, const std::vector<uint8_t>& content)
    {
        m_image = Padded(content, GetXmodemModeInfo(mode).nBlockSize);
        m_rig.Load(mode, content);
        m_rig.xmodem.Start();
    }

    std::vector<uint8_t> Block(int32_t mode, int index) // index from 0
    {
        const auto offset = static_cast<size_t>(index * GetXmodemModeInfo(mode).nBlockSize);
        return ExpectedBlock(mode, static_cast<uint8_t>(index + 1), m_image.data() + offset);
    }

    void ExpectBlock(int32_t mode, int index)
    {
        EXPECT_EQ(m_rig.Read(static_cast<size_t>(XmodemBlockLength(mode))), Block(mode, index))
            << "block index " << index;
    }

    void ExpectFailedWithOneCan()
    {
        EXPECT_EQ(m_rig.ReadQuiet(), std::vector<uint8_t> { XMODEM_CAN });
        ASSERT_TRUE(m_messages.WaitForCount(1, 5s));
        EXPECT_EQ(m_messages.Messages(), std::vector<std::wstring> { FAILURE_MESSAGE });
        EXPECT_EQ(m_rig.owner.Progress(), std::vector<float> { 0.0f });
        EXPECT_EQ(m_rig.owner.FailedCount(), 1);
        EXPECT_EQ(m_rig.owner.CompleteCount(), 0);
    }

    MessageBoxRecorder m_messages;
    XmodemRig m_rig;
    std::vector<uint8_t> m_image;
};

// For the cases that wait for the reply timeout.
class XmodemSilence : public XmodemReplies {
protected:
    XmodemSilence()
        : XmodemReplies(150)
    {
    }
};

TEST_F(XmodemReplies, ModeSumIgnoresTheCrcStartAndBeginsAtNak)
{
    StartSending(XMODEM_SUM, RandomBytes(300, 1));
    m_rig.Reply('C');
    EXPECT_TRUE(m_rig.ReadQuiet(400ms).empty());
    m_rig.Reply(XMODEM_NAK);
    for (int i = 0; i < 3; ++i) {
        ExpectBlock(XMODEM_SUM, i);
        m_rig.Reply(XMODEM_ACK);
    }
    EXPECT_EQ(m_rig.Read(1), std::vector<uint8_t> { XMODEM_EOT });
    ASSERT_TRUE(m_rig.owner.WaitUntilFinished(5s));
    EXPECT_EQ(m_rig.owner.Progress(), ExpectedProgress(3));
    EXPECT_TRUE(m_messages.Messages().empty());
}

// What the status bar was told, in order; an empty text puts back "Ready".
class StatusRecorder {
public:
    StatusRecorder()
    {
        platform::SetStatusHook([this](const std::wstring& text) {
            std::lock_guard lock(m_mutex);
            m_texts.push_back(text);
        });
    }
    ~StatusRecorder() { platform::SetStatusHook(nullptr); }
    StatusRecorder(const StatusRecorder&) = delete;
    StatusRecorder& operator=(const StatusRecorder&) = delete;

    std::vector<std::wstring> Texts() const
    {
        std::lock_guard lock(m_mutex);
        return m_texts;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<std::wstring> m_texts;
};

TEST(XmodemStatus, WaitingForTheStartIsShownUntilTheTransferStartsOrIsCancelled)
{
    const StatusRecorder status;
    XmodemRig rig;
    const auto waitingShown = [&] { return status.Texts().size() == 1 && !status.Texts()[0].empty(); };
    rig.Load(XMODEM_CRC, RandomBytes(10, 14));
    rig.xmodem.Start();
    ASSERT_TRUE(testsupport::WaitUntil(waitingShown));
    rig.Reply('C');
    EXPECT_EQ(rig.Read(133).size(), 133u);
    EXPECT_EQ(status.Texts().back(), L"");

    rig.xmodem.Start(); // cancels that transfer and waits again
    ASSERT_TRUE(testsupport::WaitUntil([&] { return status.Texts().size() == 3; }));
    rig.xmodem.Stop();
    EXPECT_TRUE(rig.WaitUntilIdle());
    EXPECT_EQ(status.Texts().back(), L"");
    EXPECT_EQ(status.Texts()[2], status.Texts()[0]);
}

TEST_F(XmodemReplies, EmptyFileSendsOnlyEotAndReportsCompletion)
{
    StartSending(XMODEM_CRC, {});
    m_rig.Reply('C');
    EXPECT_EQ(m_rig.ReadQuiet(), std::vector<uint8_t> { XMODEM_EOT });
    ASSERT_TRUE(m_rig.owner.WaitUntilFinished(5s));
    EXPECT_EQ(m_rig.owner.Progress(), std::vector<float> { 1.0f });
}

TEST_F(XmodemReplies, TwoNaksResendTheBlockAndAnAckGoesOn)
{
    StartSending(XMODEM_CRC, RandomBytes(200, 2));
    m_rig.Reply('C');
    ExpectBlock(XMODEM_CRC, 0);
    m_rig.Reply(XMODEM_NAK);
    ExpectBlock(XMODEM_CRC, 0);
    m_rig.Reply(XMODEM_NAK);
    ExpectBlock(XMODEM_CRC, 0);
    m_rig.Reply(XMODEM_ACK);
    ExpectBlock(XMODEM_CRC, 1);
    m_rig.Reply(XMODEM_ACK);
    EXPECT_EQ(m_rig.Read(1), std::vector<uint8_t> { XMODEM_EOT });
    ASSERT_TRUE(m_rig.owner.WaitUntilFinished(5s));
    EXPECT_EQ(m_rig.owner.Progress(), ExpectedProgress(2));
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(XmodemReplies, ThreeNaksEndWithOneCanAndTheFailureMessage)
{
    StartSending(XMODEM_1KCRC, RandomBytes(3000, 3));
    m_rig.Reply('C');
    ExpectBlock(XMODEM_1KCRC, 0);
    m_rig.Reply(XMODEM_ACK);
    ExpectBlock(XMODEM_1KCRC, 1);
    m_rig.Reply(XMODEM_NAK);
    ExpectBlock(XMODEM_1KCRC, 1);
    m_rig.Reply(XMODEM_NAK);
    ExpectBlock(XMODEM_1KCRC, 1);
    m_rig.Reply(XMODEM_NAK);
    EXPECT_EQ(m_rig.ReadQuiet(), std::vector<uint8_t> { XMODEM_CAN });
    ASSERT_TRUE(m_messages.WaitForCount(1, 5s));
    EXPECT_EQ(m_messages.Messages(), std::vector<std::wstring> { FAILURE_MESSAGE });
    EXPECT_EQ(m_rig.owner.Progress(), (std::vector<float> { 1.0f / 3, 0.0f }));
    EXPECT_EQ(m_rig.owner.FailedCount(), 1);
    EXPECT_EQ(m_rig.owner.CompleteCount(), 0);
}

TEST_F(XmodemSilence, OneNakThenSilenceFailsAfterTwoMoreTimeouts)
{
    StartSending(XMODEM_SUM, RandomBytes(128, 4));
    m_rig.Reply(XMODEM_NAK);
    ExpectBlock(XMODEM_SUM, 0);
    m_rig.Reply(XMODEM_NAK);
    // The flag stays set: each silent wait counts, and resends below the limit.
    ExpectBlock(XMODEM_SUM, 0);
    ExpectBlock(XMODEM_SUM, 0);
    ExpectFailedWithOneCan();
}

TEST_F(XmodemReplies, AnythingButAckNakOrCanAfterTheStartCountsAsNegative)
{
    StartSending(XMODEM_CRC, RandomBytes(128, 5));
    m_rig.Reply('C');
    ExpectBlock(XMODEM_CRC, 0);
    m_rig.Reply('C');
    ExpectBlock(XMODEM_CRC, 0);
    m_rig.Reply(0x00);
    ExpectBlock(XMODEM_CRC, 0);
    m_rig.Reply('x');
    ExpectFailedWithOneCan();
}

TEST_F(XmodemSilence, AfterABlockCountsAsANegativeReplyAndFailsAtTheLimit)
{
    StartSending(XMODEM_CRC, RandomBytes(256, 6));
    m_rig.Reply('C');
    for (int copy = 0; copy < CXmodem::MAX_NAK_COUNT; ++copy)
        ExpectBlock(XMODEM_CRC, 0);
    ExpectFailedWithOneCan();
}

TEST_F(XmodemSilence, AReplyFromBeforeABlockWasWrittenDoesNotAcceptIt)
{
    // A second ACK arrives after block 1 was accepted, before block 2 goes
    // out, as a late ACK of a resent block would.
    const UiDispatchGuard staleAck([this](std::function<void()> work, const std::atomic<bool>&) {
        m_rig.xmodem.OnReply(XMODEM_ACK);
        work();
        return true;
    });
    StartSending(XMODEM_CRC, RandomBytes(256, 11));
    m_rig.Reply('C');
    ExpectBlock(XMODEM_CRC, 0);
    m_rig.Reply(XMODEM_ACK);
    for (int copy = 0; copy < CXmodem::MAX_NAK_COUNT; ++copy)
        ExpectBlock(XMODEM_CRC, 1);
    EXPECT_EQ(m_rig.ReadQuiet(), std::vector<uint8_t> { XMODEM_CAN });
    // The failure message is the hook's last use.
    ASSERT_TRUE(m_messages.WaitForCount(1, 5s));
    EXPECT_EQ(m_rig.owner.Progress(), (std::vector<float> { 0.5f, 0.0f }));
}

TEST_F(XmodemReplies, CanFromTheReceiverEndsQuietlyWithOneCan)
{
    StartSending(XMODEM_CRC, RandomBytes(1000, 7));
    m_rig.Reply('C');
    ExpectBlock(XMODEM_CRC, 0);
    m_rig.Reply(XMODEM_CAN);
    EXPECT_EQ(m_rig.ReadQuiet(), std::vector<uint8_t> { XMODEM_CAN });
    EXPECT_TRUE(m_rig.WaitUntilIdle());
    EXPECT_TRUE(m_rig.owner.Progress().empty());
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(XmodemReplies, CanBeforeAnyTransferIsForgottenByStart)
{
    m_rig.xmodem.OnReply(XMODEM_CAN);
    StartSending(XMODEM_CRC, RandomBytes(10, 8));
    m_rig.Reply('C');
    ExpectBlock(XMODEM_CRC, 0);
    m_rig.Reply(XMODEM_ACK);
    EXPECT_EQ(m_rig.Read(1), std::vector<uint8_t> { XMODEM_EOT });
}

// A receiver that checks every block and answers through `answer`; it
// collects the data of the blocks it accepts, in order, until EOT.
struct ScriptedReceiver {
    std::vector<uint8_t> data;
    std::vector<uint8_t> numbers; // of every block that arrived

    // answer(number, copy) returns the reply for that copy of the block.
    bool Receive(XmodemRig& rig, int32_t mode, const std::function<uint8_t(uint8_t, int)>& answer)
    {
        const XmodemModeInfo& info = GetXmodemModeInfo(mode);
        const auto length = static_cast<size_t>(XmodemBlockLength(mode));
        std::vector<int> copies(256);
        rig.Reply(info.startByte);
        uint8_t expected = 1;
        for (;;) {
            const std::vector<uint8_t> first = rig.Read(1);
            if (first.size() != 1)
                return false;
            if (first[0] == XMODEM_EOT) {
                rig.Reply(XMODEM_ACK);
                return true;
            }
            std::vector<uint8_t> block = first;
            const std::vector<uint8_t> rest = rig.Read(length - 1);
            block.insert(block.end(), rest.begin(), rest.end());
            if (block.size() != length || block != ExpectedBlock(mode, block[1], block.data() + 3))
                return false;
            numbers.push_back(block[1]);
            const uint8_t reply = answer(block[1], copies[block[1]]++);
            if (reply == XMODEM_ACK && block[1] == expected) {
                data.insert(data.end(), block.begin() + 3, block.begin() + 3 + info.nBlockSize);
                ++expected;
            }
            rig.Reply(reply);
        }
    }
};

class XmodemResend : public XmodemReplies, public testing::WithParamInterface<int32_t> { };

TEST_P(XmodemResend, ReceiverThatRejectsTheFirstCopyOfABlockStillGetsTheWholeFile)
{
    const int32_t mode = GetParam();
    const std::vector<uint8_t> content = RandomBytes(5 * static_cast<size_t>(GetXmodemModeInfo(mode).nBlockSize) - 9, 9);
    StartSending(mode, content);
    ScriptedReceiver receiver;
    ASSERT_TRUE(receiver.Receive(m_rig, mode, [](uint8_t number, int copy) {
        return number == 3 && copy == 0 ? XMODEM_NAK : XMODEM_ACK;
    }));
    EXPECT_TRUE(receiver.data == Padded(content, GetXmodemModeInfo(mode).nBlockSize));
    EXPECT_EQ(receiver.numbers, (std::vector<uint8_t> { 1, 2, 3, 3, 4, 5 }));
    ASSERT_TRUE(m_rig.owner.WaitUntilFinished(5s));
    EXPECT_EQ(m_rig.owner.Progress(), ExpectedProgress(5));
}

INSTANTIATE_TEST_SUITE_P(Modes, XmodemResend, testing::Values(XMODEM_SUM, XMODEM_CRC, XMODEM_1KCRC));

class XmodemLateReply : public XmodemReplies {
protected:
    XmodemLateReply()
        : XmodemReplies(500)
    {
    }
};

TEST_F(XmodemLateReply, ReceiverAnsweringLateOnceGetsTheBlockAgainAndTheWholeFile)
{
    const std::vector<uint8_t> content = RandomBytes(5 * 128, 12);
    StartSending(XMODEM_CRC, content);
    ScriptedReceiver receiver;
    ASSERT_TRUE(receiver.Receive(m_rig, XMODEM_CRC, [](uint8_t number, int copy) {
        if (number == 2 && copy == 0)
            std::this_thread::sleep_for(700ms); // past one reply wait, not two
        return XMODEM_ACK;
    }));
    EXPECT_TRUE(receiver.data == content);
    EXPECT_EQ(receiver.numbers, (std::vector<uint8_t> { 1, 2, 2, 3, 4, 5 }));
    ASSERT_TRUE(m_rig.owner.WaitUntilFinished(5s));
    EXPECT_EQ(m_rig.owner.Progress(), ExpectedProgress(5));
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(XmodemReplies, BlockNumbersWrapFrom255ToZero)
{
    const size_t blocks = 258;
    const std::vector<uint8_t> content = RandomBytes(blocks * 128, 10);
    StartSending(XMODEM_CRC, content);
    ScriptedReceiver receiver;
    ASSERT_TRUE(receiver.Receive(m_rig, XMODEM_CRC, [](uint8_t, int) { return XMODEM_ACK; }));
    ASSERT_EQ(receiver.numbers.size(), blocks);
    for (size_t i = 0; i < blocks; ++i)
        EXPECT_EQ(receiver.numbers[i], static_cast<uint8_t>((i + 1) % 256)) << "block " << i + 1;
    EXPECT_TRUE(receiver.data == content);
}

} // namespace
} // namespace transfertest
