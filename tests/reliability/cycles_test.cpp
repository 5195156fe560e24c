// Connect and release over and over while the far end never stops sending:
// no file descriptor, thread or memory may be left behind.
#include "tests/document/DocFixture.h"
#include "tests/reliability/ReliabilitySupport.h"

#include <poll.h>
#include <unistd.h>

namespace {

using namespace reliability;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// The sanitizers' allocators hold freed memory back for a while.
constexpr uint64_t RSS_GROWTH_LIMIT_KIB = 48 * 1024;
#else
constexpr uint64_t RSS_GROWTH_LIMIT_KIB = 4 * 1024;
#endif
constexpr int WARM_UP_CYCLES = 50;

// Writes the stream into the master until stopped, waiting for room while
// the port is released.
class FarEndStream {
public:
    explicit FarEndStream(int master)
        : m_thread([this, master] { Run(master); })
    {
    }
    ~FarEndStream()
    {
        m_bStop = true;
        m_thread.join();
    }
    FarEndStream(const FarEndStream&) = delete;
    FarEndStream& operator=(const FarEndStream&) = delete;

private:
    void Run(int master)
    {
        const auto chunk = StreamBytes(0, 4096);
        while (!m_bStop) {
            if (write(master, chunk.data(), chunk.size()) < 0) {
                pollfd entry { master, POLLOUT, 0 };
                poll(&entry, 1, 5);
            }
        }
    }

    std::atomic<bool> m_bStop { false };
    std::thread m_thread;
};

using ConnectCycles = DocFixture;

TEST_F(ConnectCycles, ThousandConnectReleaseCyclesUnderAStreamLeaveNothingBehind)
{
    const auto cycles = static_cast<int>(SizeFromEnvironment("RELIABILITY_CYCLES", 1000));
    m_doc->SetCapturePath(Wide(m_dir / "capture.dat"));
    m_doc->SetCapture(true);
    FarEndStream stream(m_pty.MasterFd());

    // The warm-up also lets the capture file open: it stays open, by design.
    for (int i = 0; i < WARM_UP_CYCLES; ++i) {
        ASSERT_EQ(m_doc->Connect(), 1);
        m_doc->Disconnect();
    }
    ASSERT_EQ(m_doc->Connect(), 1);
    ASSERT_TRUE(WaitUntil([&] { return Received() > CTaliardDoc::CAPTURE_BATCH_SIZE; }));
    m_doc->Disconnect();
    ASSERT_GT(std::filesystem::file_size(m_dir / "capture.dat"), 0u);
    const ProcessCounts before = CountProcessResources();
    for (int i = 0; i < cycles; ++i) {
        ASSERT_EQ(m_doc->Connect(), 1) << "cycle " << i;
        // Now and then, let bytes arrive mid-connection.
        if (i % 100 == 0) {
            const uint64_t seen = Received();
            ASSERT_TRUE(WaitUntil([&] { return Received() > seen; }));
        }
        m_doc->Disconnect();
    }
    const ProcessCounts after = CountProcessResources();
    EXPECT_EQ(after.openFds, before.openFds);
    EXPECT_EQ(after.threads, before.threads);
    EXPECT_LT(after.rssKiB, before.rssKiB + RSS_GROWTH_LIMIT_KIB)
        << "RSS grew from " << before.rssKiB << " KiB to " << after.rssKiB << " KiB";
}

} // namespace
