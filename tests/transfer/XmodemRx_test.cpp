// The sender against a receiver we did not write: lrzsz rx, behind pipes.
// rx answers the single EOT only after 1 s, so each size runs its three
// modes side by side.
#include "tests/support/RxRunner.h"
#include "tests/support/WaitUntil.h"
#include "tests/transfer/XmodemRig.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <stdexcept>

namespace transfertest {
namespace {

constexpr std::array<int32_t, 3> ALL_MODES { XMODEM_SUM, XMODEM_CRC, XMODEM_1KCRC };

struct RxTransfer {
    RxTransfer(int32_t mode, size_t size)
        : m_mode(mode)
        , m_source(RandomBytes(size, static_cast<uint32_t>(size * 3 + static_cast<size_t>(mode))))
    {
        m_rig.Load(mode, m_source);
        m_rig.xmodem.Start(); // before rx, which asks for the start only once in 14 s
        std::vector<std::string> args;
        if (mode != XMODEM_SUM)
            args.push_back("-c");
        args.push_back("received.bin");
        m_rx = std::make_unique<testsupport::RxRunner>(m_rig.pty.MasterFd(), args, m_rig.dir.Path().string());
    }

    void Check()
    {
        SCOPED_TRACE("mode " + std::to_string(m_mode));
        const int status = m_rx->Wait(60s);
        const std::vector<uint8_t> log = ReadWholeFile(m_rig.dir.Path() / "rx.log");
        ASSERT_EQ(status, 0) << "rx failed; its log:\n" << std::string(log.begin(), log.end());
        ASSERT_TRUE(m_rig.owner.WaitUntilFinished(5s));
        const int32_t blockSize = GetXmodemModeInfo(m_mode).nBlockSize;
        const std::vector<uint8_t> expected = Padded(m_source, blockSize);
        const std::vector<uint8_t> received = ReadWholeFile(m_rig.dir.Path() / "received.bin");
        EXPECT_EQ(received.size(), expected.size());
        EXPECT_TRUE(received == expected);
        EXPECT_EQ(m_rig.owner.Progress(), ExpectedProgress(expected.size() / static_cast<size_t>(blockSize)));
        EXPECT_EQ(m_rig.owner.CompleteCount(), 1);
        EXPECT_EQ(m_rig.owner.FailedCount(), 0);
    }

    int32_t m_mode;
    std::vector<uint8_t> m_source;
    XmodemRig m_rig;
    std::unique_ptr<testsupport::RxRunner> m_rx;
};

class XmodemAgainstRx : public testing::TestWithParam<size_t> { };

TEST_P(XmodemAgainstRx, ReceivesThePaddedFileAndReportsEveryBlock)
{
    const MessageBoxRecorder messages;
    std::vector<std::unique_ptr<RxTransfer>> transfers;
    try {
        for (int32_t mode : ALL_MODES)
            transfers.push_back(std::make_unique<RxTransfer>(mode, GetParam()));
    } catch (const std::runtime_error& error) {
        FAIL() << error.what();
    }
    for (const auto& transfer : transfers)
        transfer->Check();
    EXPECT_TRUE(messages.Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Sizes, XmodemAgainstRx,
                         testing::Values(0u, 1u, 127u, 128u, 300u, 1024u, 1025u, 70000u, 1024u * 1024u),
                         [](const testing::TestParamInfo<size_t>& param) {
                             return "Bytes" + std::to_string(param.param);
                         });

TEST(XmodemAgainstDeadRx, ReceiverKilledMidTransferIsAFailureNotASuccess)
{
    const MessageBoxRecorder messages;
    XmodemRig rig(1000);
    // Long enough that the receiver cannot finish between the check below
    // and its end, even on a loaded machine.
    rig.Load(XMODEM_CRC, RandomBytes(1024 * 128, 13));
    rig.xmodem.Start();
    auto rx = std::make_unique<testsupport::RxRunner>(rig.pty.MasterFd(), std::vector<std::string> { "-c", "received.bin" },
                                                      rig.dir.Path().string());
    ASSERT_TRUE(testsupport::WaitUntil([&] { return rig.owner.Progress().size() >= 2; }, 60s));
    rx.reset(); // the line stays up; nobody answers any more
    ASSERT_TRUE(rig.owner.WaitUntilFinished(30s));
    EXPECT_EQ(rig.owner.FailedCount(), 1);
    EXPECT_EQ(rig.owner.CompleteCount(), 0);
    EXPECT_EQ(rig.owner.Progress().back(), 0.0f);
    ASSERT_TRUE(messages.WaitForCount(1, 5s));
    EXPECT_EQ(messages.Messages(), std::vector<std::wstring> { L"板卡烧写异常，请重新烧写！" });
}

} // namespace
} // namespace transfertest
