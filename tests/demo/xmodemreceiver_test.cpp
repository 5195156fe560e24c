#include "demo/Crc32.h"
#include "demo/XmodemReceiver.h"
#include "tests/demo/XmodemTestBlocks.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

namespace {

using namespace std::chrono_literals;
using demotest::Check;
using demotest::MakeBlock;
using demotest::Pattern;
using EState = CXmodemReceiver::EState;
using Bytes = std::vector<uint8_t>;

constexpr uint8_t ACK = CXmodemReceiver::ACK;
constexpr uint8_t NAK = CXmodemReceiver::NAK;
constexpr uint8_t CAN = CXmodemReceiver::CAN;
constexpr uint8_t EOT = CXmodemReceiver::EOT;

class XmodemReceiverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_receiver.Start(m_now, m_out);
        ASSERT_EQ(Take(), Bytes { 'C' });
    }

    Bytes Take()
    {
        Bytes out;
        out.swap(m_out);
        return out;
    }
    Bytes Feed(const Bytes& bytes)
    {
        for (uint8_t b : bytes)
            m_receiver.OnByte(b, m_now, m_out);
        return Take();
    }
    Bytes Advance(std::chrono::milliseconds step)
    {
        m_now += step;
        m_receiver.OnTime(m_now, m_out);
        return Take();
    }
    // Lets three 'C' go unanswered so the receiver falls back to checksums.
    void FallBackToChecksum()
    {
        Advance(1s);
        Advance(1s);
        ASSERT_EQ(Advance(1s), Bytes { NAK });
        ASSERT_FALSE(m_receiver.UsesCrc());
    }

    CXmodemReceiver m_receiver;
    CXmodemReceiver::Clock::time_point m_now { 1000s };
    Bytes m_out;
};

TEST_F(XmodemReceiverTest, AsksWithCOncePerSecondThenFallsBackToNak)
{
    EXPECT_EQ(Advance(999ms), Bytes {});
    EXPECT_EQ(Advance(1ms), Bytes { 'C' });
    EXPECT_EQ(Advance(1s), Bytes { 'C' });
    EXPECT_TRUE(m_receiver.UsesCrc());
    EXPECT_EQ(Advance(1s), Bytes { NAK });
    EXPECT_FALSE(m_receiver.UsesCrc());
    EXPECT_EQ(Advance(500ms), Bytes {});
    EXPECT_EQ(Advance(500ms), Bytes { NAK });
    EXPECT_EQ(Advance(1s), Bytes { NAK });
    EXPECT_TRUE(m_receiver.IsReceiving());
}

TEST_F(XmodemReceiverTest, NextDeadlineIsTheNextAsk)
{
    EXPECT_EQ(m_receiver.NextDeadline(), m_now + 1s);
    Advance(1s);
    EXPECT_EQ(m_receiver.NextDeadline(), m_now + 1s);
}

TEST_F(XmodemReceiverTest, AcksGoodBlocksOfBothSizesAndKeepsTheirCrc)
{
    const Bytes first = Pattern(128, 1);
    const Bytes second = Pattern(1024, 2);
    EXPECT_EQ(Feed(MakeBlock(1, first, Check::Crc)), Bytes { ACK });
    EXPECT_EQ(Feed(MakeBlock(2, second, Check::Crc)), Bytes { ACK });
    EXPECT_EQ(Feed({ EOT }), Bytes { ACK });
    EXPECT_EQ(m_receiver.GetState(), EState::Complete);
    Bytes all = first;
    all.insert(all.end(), second.begin(), second.end());
    EXPECT_EQ(m_receiver.GetByteCount(), 1152u);
    EXPECT_EQ(m_receiver.GetCrc32(), Crc32(all.data(), all.size()));
}

TEST_F(XmodemReceiverTest, StopsAskingOnceABlockBegins)
{
    Feed({ 0x01, 1, 254 });
    EXPECT_EQ(Advance(900ms), Bytes {});
    Feed(Bytes(130, 0));
    EXPECT_EQ(Advance(900ms), Bytes {});
}

TEST_F(XmodemReceiverTest, NaksABadCrcAndTakesTheBlockWhenItComesAgain)
{
    const Bytes data = Pattern(128, 3);
    Bytes damaged = MakeBlock(1, data, Check::Crc);
    damaged[60] ^= 0x10;
    EXPECT_EQ(Feed(damaged), Bytes { NAK });
    EXPECT_EQ(m_receiver.GetByteCount(), 0u);
    EXPECT_EQ(Feed(MakeBlock(1, data, Check::Crc)), Bytes { ACK });
    EXPECT_EQ(m_receiver.GetByteCount(), 128u);
    EXPECT_EQ(m_receiver.GetCrc32(), Crc32(data.data(), data.size()));
}

TEST_F(XmodemReceiverTest, NaksABadCrcByte)
{
    Bytes damaged = MakeBlock(1, Pattern(128, 3), Check::Crc);
    damaged.back() ^= 0x01;
    EXPECT_EQ(Feed(damaged), Bytes { NAK });
}

TEST_F(XmodemReceiverTest, NaksABlockWhoseComplementDoesNotMatch)
{
    Bytes damaged = MakeBlock(1, Pattern(128, 4), Check::Crc);
    damaged[2] = 0xFF;
    EXPECT_EQ(Feed(damaged), Bytes { NAK });
    EXPECT_TRUE(m_receiver.IsReceiving());
}

TEST_F(XmodemReceiverTest, AcksARepeatedBlockWithoutKeepingItTwice)
{
    const Bytes data = Pattern(128, 5);
    Feed(MakeBlock(1, data, Check::Crc));
    EXPECT_EQ(Feed(MakeBlock(1, data, Check::Crc)), Bytes { ACK });
    EXPECT_EQ(m_receiver.GetByteCount(), 128u);
    EXPECT_EQ(m_receiver.GetCrc32(), Crc32(data.data(), data.size()));
    EXPECT_EQ(Feed(MakeBlock(2, data, Check::Crc)), Bytes { ACK });
    EXPECT_EQ(m_receiver.GetByteCount(), 256u);
}

TEST_F(XmodemReceiverTest, CancelsWhenABlockIsOutOfSequence)
{
    Feed(MakeBlock(1, Pattern(128, 6), Check::Crc));
    EXPECT_EQ(Feed(MakeBlock(3, Pattern(128, 6), Check::Crc)), (Bytes { CAN, CAN }));
    EXPECT_EQ(m_receiver.GetState(), EState::OutOfSequence);
}

TEST_F(XmodemReceiverTest, BlockZeroBeforeAnyDataIsNotADuplicate)
{
    EXPECT_EQ(Feed(MakeBlock(0, Pattern(128, 7), Check::Crc)), (Bytes { CAN, CAN }));
}

TEST_F(XmodemReceiverTest, BlockNumbersWrapFrom255ToZero)
{
    uint32_t crc = 0;
    for (int n = 1; n <= 300; ++n) {
        const Bytes data = Pattern(128, static_cast<uint8_t>(n));
        ASSERT_EQ(Feed(MakeBlock(static_cast<uint8_t>(n), data, Check::Crc)), Bytes { ACK }) << n;
        crc = Crc32Update(crc, data.data(), data.size());
    }
    EXPECT_EQ(m_receiver.GetByteCount(), 300u * 128u);
    EXPECT_EQ(m_receiver.GetCrc32(), crc);
}

TEST_F(XmodemReceiverTest, TakesChecksumBlocksAfterTheFallback)
{
    FallBackToChecksum();
    const Bytes data = Pattern(128, 8);
    EXPECT_EQ(Feed(MakeBlock(1, data, Check::Sum)), Bytes { ACK });
    Bytes damaged = MakeBlock(2, data, Check::Sum);
    damaged[10] ^= 0x01;
    EXPECT_EQ(Feed(damaged), Bytes { NAK });
    EXPECT_EQ(Feed(MakeBlock(2, Pattern(1024, 9), Check::Sum)), Bytes { ACK });
    EXPECT_EQ(m_receiver.GetByteCount(), 1152u);
}

TEST_F(XmodemReceiverTest, IgnoresNoiseBetweenBlocks)
{
    EXPECT_EQ(Feed({ 'x', 0x00, 0xFF, '\r' }), Bytes {});
    EXPECT_EQ(Feed(MakeBlock(1, Pattern(128, 10), Check::Crc)), Bytes { ACK });
    EXPECT_EQ(Feed({ 0x1A, 0x1A }), Bytes {});
    EXPECT_EQ(Feed(MakeBlock(2, Pattern(128, 11), Check::Crc)), Bytes { ACK });
}

TEST_F(XmodemReceiverTest, CanFromTheSenderEndsTheTransferSilently)
{
    Feed(MakeBlock(1, Pattern(128, 12), Check::Crc));
    EXPECT_EQ(Feed({ CAN }), Bytes {});
    EXPECT_EQ(m_receiver.GetState(), EState::CancelledBySender);
    EXPECT_EQ(Feed(MakeBlock(2, Pattern(128, 12), Check::Crc)), Bytes {});
}

TEST_F(XmodemReceiverTest, ControlBytesInsideABlockAreData)
{
    Bytes data(128, CAN);
    data[0] = EOT;
    EXPECT_EQ(Feed(MakeBlock(1, data, Check::Crc)), Bytes { ACK });
    EXPECT_EQ(m_receiver.GetByteCount(), 128u);
}

TEST_F(XmodemReceiverTest, DropsAndNaksABlockThatStalls)
{
    const Bytes block = MakeBlock(1, Pattern(128, 13), Check::Crc);
    Feed(Bytes(block.begin(), block.begin() + 50));
    EXPECT_EQ(m_receiver.NextDeadline(), m_now + 1s);
    EXPECT_EQ(Advance(999ms), Bytes {});
    EXPECT_EQ(Advance(1ms), Bytes { NAK });
    EXPECT_EQ(Feed(block), Bytes { ACK });
}

TEST_F(XmodemReceiverTest, GivesUpAfterTenSecondsOfSilence)
{
    Feed(MakeBlock(1, Pattern(128, 14), Check::Crc));
    EXPECT_EQ(m_receiver.NextDeadline(), m_now + 10s);
    Advance(9s);
    Feed({ 'x' }); // any byte shows the sender is still there
    EXPECT_EQ(Advance(9999ms), Bytes {});
    EXPECT_EQ(Advance(1ms), (Bytes { CAN, CAN }));
    EXPECT_EQ(m_receiver.GetState(), EState::TimedOut);
}

TEST_F(XmodemReceiverTest, GivesUpWhenNoSenderEverAnswers)
{
    for (int second = 1; second < 10; ++second)
        EXPECT_EQ(Advance(1s).size(), 1u) << second;
    EXPECT_EQ(Advance(1s), (Bytes { CAN, CAN }));
    EXPECT_EQ(m_receiver.GetState(), EState::TimedOut);
}

TEST_F(XmodemReceiverTest, EotBeforeAnyBlockReportsAnEmptyFile)
{
    EXPECT_EQ(Feed({ EOT }), Bytes { ACK });
    EXPECT_EQ(m_receiver.GetState(), EState::Complete);
    EXPECT_EQ(m_receiver.GetByteCount(), 0u);
    EXPECT_EQ(m_receiver.GetCrc32(), 0u);
}

TEST_F(XmodemReceiverTest, StartForgetsTheLastTransfer)
{
    FallBackToChecksum();
    Feed(MakeBlock(1, Pattern(128, 15), Check::Sum));
    m_receiver.Start(m_now, m_out);
    EXPECT_EQ(Take(), Bytes { 'C' });
    EXPECT_TRUE(m_receiver.UsesCrc());
    EXPECT_EQ(m_receiver.GetByteCount(), 0u);
    EXPECT_EQ(Feed(MakeBlock(1, Pattern(128, 16), Check::Crc)), Bytes { ACK });
}

} // namespace
