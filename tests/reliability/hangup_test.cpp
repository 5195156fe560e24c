// The line hangs up (far end of the pty closed) while data streams in,
// capture is on and a file transfer runs; and the far end comes back.
#include "tests/document/DocFixture.h"
#include "tests/reliability/ReliabilitySupport.h"
#include "tests/support/FakeDeviceTree.h"
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

// An adapter on a fake device tree, reached as COM1 by its automatic
// number; the status texts are recorded.
class Replug : public HangUp {
protected:
    void SetUp() override
    {
        HangUp::SetUp();
        platform::SetStatusHook([this](const std::wstring& text) {
            std::lock_guard lock(m_statusLock);
            m_status.push_back(text);
        });
        m_doc->m_settings.m_strPortName = L"COM1";
    }

    void TearDown() override
    {
        HangUp::TearDown();
        platform::SetStatusHook(nullptr);
    }

    bool StatusShown(const std::wstring& part)
    {
        std::lock_guard lock(m_statusLock);
        return std::any_of(m_status.begin(), m_status.end(),
                           [&](const std::wstring& text) { return text.find(part) != std::wstring::npos; });
    }

    static constexpr const char* ADAPTER = "usb-Taliard_Test_Adapter_0001-if00-port0";
    testsupport::FakeDeviceTree m_tree;
    std::mutex m_statusLock;
    std::vector<std::wstring> m_status;
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

TEST_F(Replug, TheSameAdapterComesBackByItselfAndTheCaptureHasNoGap)
{
    testsupport::PtyPair* adapter = &m_tree.Plug("ttyUSB0", ADAPTER);
    ASSERT_EQ(m_doc->Connect(), 1);
    const auto before = StreamBytes(0, 3000);
    ASSERT_TRUE(adapter->WriteToPort(before.data(), before.size()));
    ASSERT_TRUE(WaitUntil([&] { return Received() == before.size(); }));

    m_tree.Unplug("ttyUSB0");
    const std::wstring path = Wide(m_tree.ById(ADAPTER));
    ASSERT_TRUE(WaitUntil([&] { return StatusShown(L"COM1 (" + path + L"): 设备已断开"); }));
    EXPECT_EQ(m_doc->GetLastLineDownReason().rfind("read()", 0), 0u) << "the failing call is recorded";
    EXPECT_TRUE(m_doc->IsConnected());

    // Back on another node under the same by-id name.
    adapter = &m_tree.Plug("ttyUSB1", ADAPTER);
    ASSERT_TRUE(WaitUntil([&] { return StatusShown(L"设备已重新连接"); }));
    const auto after = StreamBytes(3000, 5000);
    ASSERT_TRUE(adapter->WriteToPort(after.data(), after.size()));
    ASSERT_TRUE(WaitUntil([&] { return Received() == before.size() + after.size(); }));
    m_doc->SendText(L"ping");
    const auto echoed = adapter->ReadFromPort(4, 5s);
    EXPECT_EQ(std::string(echoed.begin(), echoed.end()), "ping");

    m_doc->Disconnect();
    EXPECT_EQ(FileBytes(m_capture), StreamBytes(0, 8000));
}

TEST_F(Replug, ReleasingWhileWaitingStopsWaiting)
{
    m_tree.Plug("ttyUSB0", ADAPTER);
    ASSERT_EQ(m_doc->Connect(), 1);
    m_tree.Unplug("ttyUSB0");
    ASSERT_TRUE(WaitUntil([&] { return StatusShown(L"设备已断开"); }));
    m_doc->Disconnect();
    EXPECT_EQ(ThreadCpuTicks("taliard-port"), -1) << "the port thread has ended";
    m_tree.Plug("ttyUSB0", ADAPTER);
    std::this_thread::sleep_for(std::chrono::milliseconds(2 * CSerialPort::RECONNECT_POLL_MS));
    EXPECT_FALSE(StatusShown(L"设备已重新连接"));
    EXPECT_FALSE(m_doc->IsConnected());
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
