// The receive road through a real pty: buffer bounds, zero bytes, the
// capture batch and the capture file.
#include "tests/document/DocFixture.h"

#include <fstream>
#include <iterator>
#include <numeric>

namespace {

std::vector<uint8_t> Pattern(size_t count, uint8_t first = 1)
{
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<uint8_t>(1 + (first + i) % 255); // never zero
    return bytes;
}

std::vector<uint8_t> FileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

std::wstring Wide(const std::filesystem::path& path)
{
    const std::string s = path.string();
    return { s.begin(), s.end() };
}

class ReceivePipeline : public DocFixture {
protected:
    void SetUp() override
    {
        DocFixture::SetUp();
        ASSERT_EQ(m_doc->Connect(), 1);
        m_capture = m_dir / "capture.dat";
    }

    void Feed(const std::vector<uint8_t>& bytes)
    {
        const uint64_t before = Received();
        size_t kept = 0;
        for (uint8_t b : bytes)
            kept += b != 0;
        ASSERT_TRUE(m_pty.WriteToPort(bytes.data(), bytes.size()));
        ASSERT_TRUE(WaitUntil([&] { return Received() == before + kept; }));
    }

    // Zero bytes never reach the buffer, so wait on the file for those.
    void FeedAndSettle(const std::vector<uint8_t>& bytes)
    {
        ASSERT_TRUE(m_pty.WriteToPort(bytes.data(), bytes.size()));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }

    std::filesystem::path m_capture;
};

TEST_F(ReceivePipeline, BufferKeepsAtMost20480BytesAndDropsTheOldest10240AtOnce)
{
    const auto bytes = Pattern(20481);
    Feed({ bytes.begin(), bytes.begin() + 20480 });
    EXPECT_EQ(BufferSize(), 20480u);
    Feed({ bytes.begin() + 20480, bytes.end() });
    const auto buffer = BufferCopy();
    ASSERT_EQ(buffer.size(), 10241u);
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), bytes.begin() + 10240));
}

TEST_F(ReceivePipeline, ZeroBytesReachTheCaptureFileButNotTheBuffer)
{
    m_doc->SetCapturePath(Wide(m_capture));
    m_doc->SetCapture(true);
    std::vector<uint8_t> bytes = Pattern(129);
    bytes[5] = 0;
    bytes[128] = 0;
    FeedAndSettle(bytes);
    EXPECT_EQ(FileBytes(m_capture), bytes);
    EXPECT_EQ(BufferSize(), 127u);
}

TEST_F(ReceivePipeline, CaptureFileGrowsIn129ByteSteps)
{
    m_doc->SetCapturePath(Wide(m_capture));
    m_doc->SetCapture(true);
    const auto bytes = Pattern(129 * 3 + 50);
    Feed({ bytes.begin(), bytes.begin() + 128 });
    EXPECT_FALSE(std::filesystem::exists(m_capture));
    Feed({ bytes.begin() + 128, bytes.begin() + 129 });
    EXPECT_EQ(std::filesystem::file_size(m_capture), 129u);
    Feed({ bytes.begin() + 129, bytes.end() });
    EXPECT_EQ(std::filesystem::file_size(m_capture), 129u * 3);
}

class CaptureStop : public ReceivePipeline, public ::testing::WithParamInterface<size_t> { };

TEST_P(CaptureStop, FileHoldsExactlyTheBytesReceivedWhileCaptureWasOn)
{
    m_doc->SetCapturePath(Wide(m_capture));
    m_doc->SetCapture(true);
    const auto during = Pattern(GetParam(), 7);
    if (!during.empty())
        Feed(during);
    m_doc->SetCapture(false);
    Feed(Pattern(300, 50));
    EXPECT_EQ(FileBytes(m_capture), during);
}

INSTANTIATE_TEST_SUITE_P(AfterBytes, CaptureStop, ::testing::Values(size_t { 0 }, size_t { 100 }, size_t { 1000 }));

TEST_F(ReceivePipeline, BytesFromJustBeforeCaptureStartsGoOutWithTheFirstBatch)
{
    m_doc->SetCapturePath(Wide(m_capture));
    const auto before = Pattern(40, 100);
    Feed(before);
    m_doc->SetCapture(true);
    const auto during = Pattern(89, 3);
    Feed(during);
    auto expected = before;
    expected.insert(expected.end(), during.begin(), during.end());
    EXPECT_EQ(FileBytes(m_capture), expected);
}

TEST_F(ReceivePipeline, PendingCaptureBytesAreWrittenOnDisconnectAndOnClose)
{
    m_doc->SetCapturePath(Wide(m_capture));
    m_doc->SetCapture(true);
    const auto first = Pattern(50);
    Feed(first);
    m_doc->Disconnect();
    EXPECT_EQ(FileBytes(m_capture), first);

    ASSERT_EQ(m_doc->Connect(), 1);
    const auto second = Pattern(60, 9);
    Feed(second);
    m_doc->OnCloseDocument();
    auto expected = first;
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(FileBytes(m_capture), expected);
}

TEST_F(ReceivePipeline, CaptureWithoutPathTouchesNoFile)
{
    m_doc->SetCapture(true);
    Feed(Pattern(600));
    m_doc->SetCapture(false);
    EXPECT_TRUE(std::filesystem::is_empty(m_dir));
    EXPECT_EQ(BufferSize(), 600u);
}

TEST_F(ReceivePipeline, UnwritableCaptureFileLosesNothingElse)
{
    for (const auto& path : { m_dir / "missing-folder" / "capture.dat", std::filesystem::path("/dev/full") }) {
        m_doc->SetCapturePath(Wide(path));
        m_doc->SetCapture(true);
        const uint64_t before = Received();
        Feed(Pattern(1000));
        m_doc->SetCapture(false);
        EXPECT_EQ(Received(), before + 1000);
    }
    // A good path afterwards works again.
    m_doc->SetCapturePath(Wide(m_capture));
    m_doc->SetCapture(true);
    Feed(Pattern(129));
    EXPECT_EQ(std::filesystem::file_size(m_capture), 129u);
}

TEST_F(ReceivePipeline, CaptureFileVanishingMidCaptureDoesNotStopReceiving)
{
    const auto folder = m_dir / "sub";
    std::filesystem::create_directories(folder);
    m_doc->SetCapturePath(Wide(folder / "capture.dat"));
    m_doc->SetCapture(true);
    Feed(Pattern(500));
    std::filesystem::remove_all(folder);
    const uint64_t before = Received();
    Feed(Pattern(5000));
    EXPECT_EQ(Received(), before + 5000);
}

TEST_F(ReceivePipeline, CaptureFileDeletedMidCaptureIsMadeAgain)
{
    m_doc->SetCapturePath(Wide(m_capture));
    m_doc->SetCapture(true);
    Feed(Pattern(129));
    std::filesystem::remove(m_capture);
    const auto after = Pattern(129, 9);
    Feed(after);
    EXPECT_EQ(FileBytes(m_capture), after);
}

TEST_F(ReceivePipeline, DisconnectInTheMiddleOfAStreamKeepsAnInOrderRunOfIt)
{
    std::atomic<bool> stop { false };
    std::thread feeder([&] {
        const auto block = Pattern(255 * 16); // whole cycles: the stream runs on across blocks
        while (!stop)
            m_pty.WriteToPort(block.data(), block.size(), std::chrono::milliseconds(50));
    });
    ASSERT_TRUE(WaitUntil([&] { return Received() > 30000; }));
    m_doc->Disconnect();
    const uint64_t atDisconnect = Received();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    stop = true;
    feeder.join();

    EXPECT_EQ(Received(), atDisconnect);
    const auto buffer = BufferCopy();
    for (size_t i = 1; i < buffer.size(); ++i)
        ASSERT_EQ(buffer[i], buffer[i - 1] % 255 + 1) << "at byte " << i;
}

TEST_F(ReceivePipeline, BurstWakesTheUiOnceUntilItsRefreshIsDue)
{
    std::atomic<int> wakes { 0 };
    platform::SetRefreshHook([&] { ++wakes; });
    CRefreshSchedule& schedule = m_doc->RefreshSchedule();
    Feed(Pattern(3000));
    ASSERT_TRUE(WaitUntil([&] { return wakes.load() > 0; }));
    ASSERT_TRUE(WaitUntil([&] { return schedule.Due() == 0; }));
    EXPECT_EQ(wakes.load(), 1);
    Feed(Pattern(10));
    EXPECT_TRUE(WaitUntil([&] { return wakes.load() == 2; }));
    platform::SetRefreshHook(nullptr);
}

// Load can only make the refresh later, never sooner: the bounds hold on a
// busy machine.
TEST_F(ReceivePipeline, TheRefreshWaitsFor15MillisecondsAfterTheLastRun)
{
    using Clock = std::chrono::steady_clock;
    const auto pause = std::chrono::milliseconds(CRefreshSchedule::REFRESH_DELAY_MS);
    std::atomic<int> wakes { 0 };
    platform::SetRefreshHook([&] { ++wakes; });
    CRefreshSchedule& schedule = m_doc->RefreshSchedule();
    for (int round = 0; round < 3; ++round) {
        const auto written = Clock::now();
        Feed(Pattern(10));
        // The wake comes once the run's time is noted.
        ASSERT_TRUE(WaitUntil([&] { return wakes.load() == round + 1; }));
        const int wait = schedule.Due();
        EXPECT_LE(wait, CRefreshSchedule::REFRESH_DELAY_MS);
        if (Clock::now() - written < pause) {
            EXPECT_GT(wait, 0);
        }
        ASSERT_TRUE(WaitUntil([&] { return schedule.Due() == 0; }));
        EXPECT_GE(Clock::now() - written, pause);
    }
    platform::SetRefreshHook(nullptr);
}

} // namespace
