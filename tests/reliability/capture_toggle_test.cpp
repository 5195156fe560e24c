// A long stream with capture switched on and off many times: the file must
// hold exactly the bytes received while capture was on, plus, at each
// switch-on, the part batch carried over from just before it.
#include "tests/document/DocFixture.h"
#include "tests/reliability/ReliabilitySupport.h"

#include <fstream>

namespace {

using namespace std::chrono_literals;
using namespace reliability;

constexpr int SWITCH_ONS = 50;

struct Range {
    uint64_t first;
    uint64_t count;
};

using CaptureToggle = DocFixture;

TEST_F(CaptureToggle, HundredMegabytesWithCaptureSwitchedFiftyTimesLosesNothing)
{
    const uint64_t total = SizeFromEnvironment("RELIABILITY_STREAM_MB", 100) * 1000 * 1000;
    // Two segments per switch-on (on, then off); odd lengths so that the
    // batch carries a different remainder each time.
    const uint64_t segment = total / (2 * SWITCH_ONS);
    const auto capture = m_dir / "capture.dat";
    m_doc->SetCapturePath(Wide(capture));
    ASSERT_EQ(m_doc->Connect(), 1);

    std::vector<Range> expected;
    uint64_t streamed = 0;
    uint64_t sinceBatchStart = 0; // bytes since the batch was last empty
    const auto stream = [&](uint64_t count) {
        constexpr size_t CHUNK = 256 * 1024;
        for (uint64_t done = 0; done < count;) {
            const auto length = static_cast<size_t>(std::min<uint64_t>(CHUNK, count - done));
            const auto bytes = StreamBytes(streamed + done, length);
            ASSERT_TRUE(m_pty.WriteToPort(bytes.data(), bytes.size()));
            done += length;
        }
        ASSERT_TRUE(WaitUntil([&] { return Received() == streamed + count; }, 120s));
        streamed += count;
    };

    for (int k = 0; k < SWITCH_ONS; ++k) {
        const uint64_t offLength = segment + static_cast<uint64_t>(k) * 7;
        stream(offLength);
        sinceBatchStart += offLength;
        // The batch is written once it passes its flush level, so what it
        // holds at switch-on is what came after the last flush.
        const uint64_t carried = sinceBatchStart % (CTaliardDoc::CAPTURE_FLUSH_LEVEL + 1);
        m_doc->SetCapture(true);
        const uint64_t onLength = segment - static_cast<uint64_t>(k) * 7;
        stream(onLength);
        m_doc->SetCapture(false); // writes the batch: it starts empty again
        sinceBatchStart = 0;
        expected.push_back({ streamed - onLength - carried, onLength + carried });
    }
    m_doc->Disconnect();

    std::ifstream in(capture, std::ios::binary);
    std::vector<char> got;
    uint64_t fileOffset = 0;
    for (const Range& range : expected) {
        got.resize(range.count);
        ASSERT_TRUE(in.read(got.data(), static_cast<std::streamsize>(range.count))) << "file ends early at " << fileOffset;
        const auto want = StreamBytes(range.first, range.count);
        ASSERT_TRUE(std::equal(want.begin(), want.end(), reinterpret_cast<const uint8_t*>(got.data())))
            << "differs within the range starting at file offset " << fileOffset;
        fileOffset += range.count;
    }
    EXPECT_EQ(std::filesystem::file_size(capture), fileOffset);
}

} // namespace
