// The line hangs up (far end of the pty closed) while data streams in,
// capture is on and a file transfer runs; and the far end comes back.
#include "tests/document/DocFixture.h"
#include "tests/reliability/ReliabilitySupport.h"
#include "transfer/XmodemBlock.h"

namespace {

using namespace std::chrono_literals;
using namespace reliability;

const std::wstring TRANSFER_FAILED = L"板卡烧写异常，请重新烧写！";
constexpr size_t STREAM_BEFORE_START = 200 * 1024;

class HangUp : public DocFixture {
protected:
    void SetUp() override
    {
        DocFixture::SetUp();
        m_capture = m_dir / "capture.dat";
        m_doc->SetCapturePath(Wide(m_capture));
        m_doc->SetCapture(true);
        m_doc->SetProgressSink(&m_progress);
    }

    void TearDown() override
    {
        m_doc->SetProgressSink(nullptr);
        DocFixture::TearDown();
    }

    void Stream(const std::vector<uint8_t>& bytes)
    {
        const uint64_t before = Received();
        ASSERT_TRUE(m_pty.WriteToPort(bytes.data(), bytes.size()));
        ASSERT_TRUE(WaitUntil([&] { return Received() == before + bytes.size(); }));
    }

    bool FailureShown()
    {
        for (const auto& message : Messages()) {
            if (message.text == TRANSFER_FAILED)
                return true;
        }
        return false;
    }

    std::filesystem::path m_capture;
    ProgressRecorder m_progress;
};

TEST_F(HangUp, MidTransferFailsTheTransferKeepsTheCaptureAndLeavesThePortIdle)
{
    // Two blocks: counting silence as acceptance would report success.
    WriteFile(m_dir / "image.bin", StreamBytes(0, 2048));
    m_doc->m_sendPath = Wide(m_dir / "image.bin");
    ASSERT_EQ(m_doc->Connect(), 1);
    m_doc->StartFileSend(XMODEM_1KCRC);

    // Data streams in while the sender waits for its start byte.
    const auto streamed = StreamBytes(0, STREAM_BEFORE_START);
    Stream(streamed);
    ASSERT_TRUE(m_pty.WriteToPort(std::string("C")));
    const auto firstBlock = m_pty.ReadFromPort(1029, 10s);
    ASSERT_EQ(firstBlock.size(), 1029u);
    ASSERT_EQ(firstBlock[0], XMODEM_STX);
    m_pty.CloseMaster();

    ASSERT_TRUE(WaitUntil([&] { return FailureShown(); }, 20s));
    const auto progress = m_progress.Values();
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), 0.0f);
    EXPECT_EQ(std::count(progress.begin(), progress.end(), 1.0f), 0) << "the dead line counted as success";

    // The port thread watches only its stop event now: no CPU spent.
    const long before = ThreadCpuTicks("taliard-port");
    ASSERT_GE(before, 0);
    std::this_thread::sleep_for(300ms);
    EXPECT_LE(ThreadCpuTicks("taliard-port") - before, 2);

    // Release writes what the batch still held: every byte before the
    // hang-up, the start byte included, is in the file.
    m_doc->Disconnect();
    auto expected = streamed;
    expected.push_back('C');
    EXPECT_EQ(FileBytes(m_capture), expected);

    // A new line connects and receives.
    testsupport::PtyPair other;
    m_doc->m_settings.m_strPortName = Wide(other.SlavePath());
    ASSERT_EQ(m_doc->Connect(), 1);
    const uint64_t received = Received();
    ASSERT_TRUE(other.WriteToPort(std::string("after")));
    EXPECT_TRUE(WaitUntil([&] { return Received() == received + 5; }));
}

TEST_F(HangUp, WithoutATransferOnlyStopsTheStream)
{
    ASSERT_EQ(m_doc->Connect(), 1);
    Stream(StreamBytes(0, 4096));
    m_pty.CloseMaster();
    std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(m_doc->IsConnected()) << "a hang-up does not release the port by itself";
    m_doc->SendText(L"into the void");
    m_doc->Disconnect();
    EXPECT_FALSE(m_doc->IsConnected());
    EXPECT_EQ(FileBytes(m_capture), StreamBytes(0, 4096));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(HangUp, FarEndReopeningComesBackAfterReleaseAndConnect)
{
    // The port name is a link the test moves to a new far end, as a device
    // node comes back under the same name.
    const auto link = m_dir / "line";
    std::filesystem::create_symlink(m_pty.SlavePath(), link);
    m_doc->m_settings.m_strPortName = Wide(link);
    ASSERT_EQ(m_doc->Connect(), 1);
    Stream(StreamBytes(0, 1000));
    m_pty.CloseMaster();

    testsupport::PtyPair reopened;
    std::filesystem::remove(link);
    std::filesystem::create_symlink(reopened.SlavePath(), link);
    m_doc->Disconnect();
    ASSERT_EQ(m_doc->Connect(), 1);
    const uint64_t before = Received();
    const auto more = StreamBytes(1000, 50000);
    ASSERT_TRUE(reopened.WriteToPort(more.data(), more.size()));
    ASSERT_TRUE(WaitUntil([&] { return Received() == before + more.size(); }));
    const auto kept = BufferCopy();
    ASSERT_GE(kept.size(), 1000u);
    EXPECT_TRUE(std::equal(kept.end() - 1000, kept.end(), more.end() - 1000));

    // Writes reach the new far end too.
    m_doc->SendText(L"ping");
    const auto echoed = reopened.ReadFromPort(4, 5s);
    EXPECT_EQ(std::string(echoed.begin(), echoed.end()), "ping");
}

} // namespace
