// The capture file fails under a running stream: its name turns into a
// folder, its folder goes, or it is /dev/full. Receiving must go on.
#include "tests/document/DocFixture.h"
#include "tests/reliability/ReliabilitySupport.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <mutex>

namespace {

using namespace reliability;

constexpr size_t CHUNK = 64 * 1024;

class CaptureFault : public DocFixture {
protected:
    void SetUp() override
    {
        DocFixture::SetUp();
        ASSERT_EQ(m_doc->Connect(), 1);
    }

    // Streams a chunk and checks every byte reached the buffer's count.
    void StreamChunk()
    {
        const uint64_t before = Received();
        const auto bytes = StreamBytes(m_nStreamed, CHUNK);
        ASSERT_TRUE(m_pty.WriteToPort(bytes.data(), bytes.size()));
        ASSERT_TRUE(WaitUntil([&] { return Received() == before + CHUNK; }));
        m_nStreamed += CHUNK;
    }

    uint64_t m_nStreamed = 0;
};

TEST_F(CaptureFault, FileReplacedByAFolderMidCapture)
{
    const auto path = m_dir / "capture.dat";
    m_doc->SetCapturePath(Wide(path));
    m_doc->SetCapture(true);
    StreamChunk();
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    StreamChunk();
    // Switching off and on reopens by name, which now fails each batch.
    m_doc->SetCapture(false);
    m_doc->SetCapture(true);
    StreamChunk();
    m_doc->SetCapture(false);
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_TRUE(m_doc->IsConnected());
}

TEST_F(CaptureFault, FolderRemovedThenCaptureMovedToAGoodFile)
{
    const auto folder = m_dir / "gone";
    std::filesystem::create_directories(folder);
    m_doc->SetCapturePath(Wide(folder / "capture.dat"));
    m_doc->SetCapture(true);
    StreamChunk();
    std::filesystem::remove_all(folder);
    m_doc->SetCapture(false);
    m_doc->SetCapture(true);
    StreamChunk();

    // A good path afterwards captures again, from its first batch on.
    const auto good = m_dir / "good.dat";
    m_doc->SetCapturePath(Wide(good));
    const uint64_t from = m_nStreamed;
    StreamChunk();
    m_doc->SetCapture(false);
    EXPECT_EQ(FileBytes(good), StreamBytes(from, CHUNK));
}

TEST_F(CaptureFault, FifoNobodyReadsIsRefusedAndReceivingGoesOn)
{
    const auto fifo = m_dir / "capture.fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    m_doc->SetCapturePath(Wide(fifo));
    m_doc->SetCapture(true);
    const auto bytes = StreamBytes(0, 1000);
    ASSERT_TRUE(m_pty.WriteToPort(bytes.data(), bytes.size()));
    const bool received = WaitUntil([&] { return Received() == bytes.size(); });
    // A reader frees a port thread held in open(), so the test can end.
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    EXPECT_TRUE(received);
    m_doc->SetCapture(false);
    close(reader);
}

// A file size limit stands in for a full disk: writes past it fail (EFBIG).
TEST_F(CaptureFault, FailingWritesAreShownInTheStatusBarUntilABatchSucceeds)
{
    std::mutex lock;
    std::vector<std::wstring> shown;
    platform::SetStatusHook([&](const std::wstring& text) {
        std::lock_guard guard(lock);
        shown.push_back(text);
    });
    const auto lastShown = [&] {
        std::lock_guard guard(lock);
        return shown.empty() ? std::wstring(L"(nothing)") : shown.back();
    };
    const auto path = m_dir / "capture.dat";
    m_doc->SetCapturePath(Wide(path));
    m_doc->SetCapture(true);
    const size_t batch = CTaliardDoc::CAPTURE_FLUSH_LEVEL + 1;
    const auto stream = [&](uint64_t first, size_t count) {
        const auto bytes = StreamBytes(first, count);
        const uint64_t before = Received();
        ASSERT_TRUE(m_pty.WriteToPort(bytes.data(), bytes.size()));
        ASSERT_TRUE(WaitUntil([&] { return Received() == before + count; }));
    };

    stream(0, batch);
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::file_size(path) == batch; }));
    const sighandler_t oldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit oldLimit {};
    getrlimit(RLIMIT_FSIZE, &oldLimit);
    rlimit full = oldLimit;
    full.rlim_cur = batch;
    setrlimit(RLIMIT_FSIZE, &full);
    stream(batch, 3 * batch);
    const std::wstring prefix = Wide(path) + L": ";
    EXPECT_TRUE(WaitUntil([&] {
        const std::wstring text = lastShown();
        return text.starts_with(prefix) && text.find(std::to_wstring(3 * batch)) != std::wstring::npos;
    })) << lastShown();

    setrlimit(RLIMIT_FSIZE, &oldLimit);
    signal(SIGXFSZ, oldHandler);
    stream(4 * batch, batch);
    EXPECT_TRUE(WaitUntil([&] { return lastShown().empty(); })) << lastShown();
    m_doc->SetCapture(false);
    platform::SetStatusHook(nullptr);
    auto expected = StreamBytes(0, batch);
    const auto last = StreamBytes(4 * batch, batch);
    expected.insert(expected.end(), last.begin(), last.end());
    EXPECT_EQ(FileBytes(path), expected);
}

TEST_F(CaptureFault, DeviceFullUnderAStreamOfAMegabyte)
{
    m_doc->SetCapturePath(L"/dev/full");
    m_doc->SetCapture(true);
    for (int i = 0; i < 16; ++i)
        StreamChunk();
    m_doc->SetCapture(false);
    EXPECT_EQ(m_nStreamed, 16u * CHUNK);
}

} // namespace
