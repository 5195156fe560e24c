#include "demo/BoardProtocol.h"
#include "demo/CDemoBoard.h"
#include "demo/Crc32.h"
#include "device/PortPath.h"
#include "tests/demo/DeviceLine.h"
#include "transfer/Xmodem.h"
#include "transfer/XmodemOwner.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using demotest::DeviceLine;

const std::string PROMPT(CBoardProtocol::PROMPT);

// The document's part in a transfer: the line and the progress hooks.
class LineOwner : public CXmodemOwner {
public:
    explicit LineOwner(DeviceLine& line) : m_line(line) {}

    void WriteBytes(const uint8_t* data, int32_t length) override { m_line.Device().Write(data, length); }
    void OnSendProgress(float) override {}
    void OnSendComplete() override { ++m_nComplete; }
    void OnSendFailed() override { ++m_nFailed; }
    void AbortWrites() override { m_line.Device().AbortWrite(); }
    void ResumeWrites() override { m_line.Device().ResumeWrites(); }
    bool IsLineDown() override { return m_line.Device().IsHungUp(); }

    int CompleteCount() const { return m_nComplete; }
    int FailedCount() const { return m_nFailed; }

private:
    DeviceLine& m_line;
    std::atomic<int> m_nComplete { 0 };
    std::atomic<int> m_nFailed { 0 };
};

class TemporaryFile {
public:
    explicit TemporaryFile(const std::vector<uint8_t>& content)
    {
        char name[] = "/tmp/taliard-demo-XXXXXX";
        const int fd = mkstemp(name);
        m_path = name;
        if (fd >= 0)
            close(fd);
        std::ofstream(m_path, std::ios::binary).write(reinterpret_cast<const char*>(content.data()),
                                                     static_cast<std::streamsize>(content.size()));
    }
    ~TemporaryFile() { std::remove(m_path.c_str()); }
    std::wstring WidePath() const { return std::wstring(m_path.begin(), m_path.end()); }

private:
    std::string m_path;
};

std::vector<uint8_t> FileContent(size_t length)
{
    std::vector<uint8_t> data(length);
    uint32_t state = 12345;
    for (uint8_t& b : data) {
        state = state * 1103515245u + 12345u;
        b = static_cast<uint8_t>(state >> 16);
    }
    return data;
}

std::string Report(const std::vector<uint8_t>& received)
{
    char text[80];
    std::snprintf(text, sizeof text, "Received %zu bytes, CRC-32 0x%08X\r\n", received.size(),
                  Crc32(received.data(), received.size()));
    return text;
}

// The board, the program's port on COM1 and a sender on it. Members go in
// reverse order: the sender's worker ends while the line and owner are
// still there; the line is closed first so no reply reaches a gone sender.
struct TransferRig {
    TransferRig()
    {
        std::string error;
        board = CDemoBoard::Create(error);
        EXPECT_NE(board, nullptr) << error;
        line.ForwardTo(&xmodem);
        xmodem.SetOwner(&owner);
    }
    ~TransferRig()
    {
        line.Close();
        ClearPortOverrides();
    }

    std::unique_ptr<CDemoBoard> board;
    DeviceLine line;
    LineOwner owner { line };
    CXmodem xmodem;
};

struct Variant {
    int32_t mode;
    const char* name;
};

class DemoTransferTest : public ::testing::TestWithParam<Variant> {};

TEST_P(DemoTransferTest, BoardReportsTheSizeAndCrc32OfWhatWasSent)
{
    TransferRig rig;
    ASSERT_NE(rig.board, nullptr);
    ASSERT_TRUE(rig.line.Open(L"COM1")) << rig.line.GetLastOpenError();
    ASSERT_TRUE(rig.line.WaitFor(PROMPT, 3s)) << rig.line.Received();

    const std::vector<uint8_t> content = FileContent(100 * 1024);
    const TemporaryFile file(content);
    rig.xmodem.SetMode(GetParam().mode);
    ASSERT_TRUE(rig.xmodem.LoadFile(file.WidePath()));
    rig.xmodem.Start(); // waits for the board's first ask
    ASSERT_TRUE(rig.line.Write("xmodem\r"));

    const std::string report = Report(content);
    EXPECT_TRUE(rig.line.WaitFor(report + PROMPT, 30s)) << rig.line.Received().substr(0, 400);
    EXPECT_EQ(rig.owner.CompleteCount(), 1);
    EXPECT_EQ(rig.owner.FailedCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, DemoTransferTest,
                         ::testing::Values(Variant { XMODEM_SUM, "Sum" }, Variant { XMODEM_CRC, "Crc" },
                                           Variant { XMODEM_1KCRC, "Crc1K" }),
                         [](const auto& variant) { return std::string(variant.param.name); });

TEST(DemoTransfer, CountsThePaddingOfTheLastBlock)
{
    TransferRig rig;
    ASSERT_NE(rig.board, nullptr);
    ASSERT_TRUE(rig.line.Open(L"COM1")) << rig.line.GetLastOpenError();
    ASSERT_TRUE(rig.line.WaitFor(PROMPT, 3s)) << rig.line.Received();

    std::vector<uint8_t> content = FileContent(1000);
    const TemporaryFile file(content);
    rig.xmodem.SetMode(XMODEM_1KCRC);
    ASSERT_TRUE(rig.xmodem.LoadFile(file.WidePath()));
    rig.xmodem.Start();
    ASSERT_TRUE(rig.line.Write("xmodem\r"));

    content.resize(1024, CXmodem::PAD_BYTE);
    EXPECT_TRUE(rig.line.WaitFor(Report(content) + PROMPT, 10s)) << rig.line.Received();
}

} // namespace
