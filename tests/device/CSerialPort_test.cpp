// The port driver on pseudo-terminal pairs: reading, writing, opening and
// closing under the conditions a real line produces.
#include "device/CSerialPort.h"
#include "device/PortPath.h"
#include "tests/device/PortTestSupport.h"
#include "tests/support/PtyPair.h"
#include "tests/support/WaitUntil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using devicetest::PtySettings;
using testsupport::PtyPair;

// Keeps every byte the port thread hands up.
class RecordingPort : public CSerialPort {
public:
    ~RecordingPort() override { Close(); }

    std::vector<uint8_t> Received()
    {
        std::lock_guard lock(m_mutex);
        return m_received;
    }

    // Waits until `count` bytes arrived or the time ran out.
    bool WaitFor(size_t count, std::chrono::milliseconds timeout)
    {
        return testsupport::WaitUntil([&] { return Received().size() >= count; }, timeout);
    }

protected:
    void OnReceiveByte(uint8_t byte) override
    {
        std::lock_guard lock(m_mutex);
        m_received.push_back(byte);
    }

private:
    std::mutex m_mutex;
    std::vector<uint8_t> m_received;
};

std::vector<uint8_t> Pattern(size_t size, uint8_t seed)
{
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>((i * 7 + seed) % 251);
    return bytes;
}

// A write that cannot finish because the far end never reads.
std::future<bool> StartStuckWrite(CSerialPort& port)
{
    return std::async(std::launch::async, [&port] {
        const std::vector<uint8_t> big(1 << 20, 0x55);
        return port.Write(big);
    });
}

// --- reading ---

TEST(SerialPortRead, BytesArriveInOrderOneCallEach)
{
    PtyPair pty;
    RecordingPort port;
    ASSERT_TRUE(port.Open(PtySettings(pty), CSerialPort::EV_RXCHAR)) << port.GetLastOpenError();
    const auto sent = Pattern(300000, 3);
    ASSERT_TRUE(pty.WriteToPort(sent.data(), sent.size()));
    ASSERT_TRUE(port.WaitFor(sent.size(), 20s));
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(port.Received(), sent);
}

TEST(SerialPortRead, CallbackGetsItsContextBack)
{
    struct Sink {
        std::mutex mutex;
        std::string text;
    } sink;
    PtyPair pty;
    CSerialPort port;
    ASSERT_TRUE(port.Open(PtySettings(pty), CSerialPort::EV_RXCHAR));
    port.SetReceiveCallback([](uint8_t byte, void* context) {
        auto* target = static_cast<Sink*>(context);
        std::lock_guard lock(target->mutex);
        target->text += static_cast<char>(byte);
    }, &sink);
    ASSERT_TRUE(pty.WriteToPort("hello"));
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    for (;;) {
        {
            std::lock_guard lock(sink.mutex);
            if (sink.text.size() >= 5 || std::chrono::steady_clock::now() > deadline)
                break;
        }
        std::this_thread::sleep_for(1ms);
    }
    std::lock_guard lock(sink.mutex);
    EXPECT_EQ(sink.text, "hello");
}

TEST(SerialPortRead, WithoutRxCharInTheMaskNothingIsRead)
{
    PtyPair pty;
    RecordingPort port;
    ASSERT_TRUE(port.Open(PtySettings(pty), CSerialPort::EV_RXFLAG));
    ASSERT_TRUE(pty.WriteToPort("abc"));
    EXPECT_FALSE(port.WaitFor(1, 100ms));
}

TEST(SerialPortRead, AfterAHangUpThePortThreadIdlesAndThePortStillWorks)
{
    RecordingPort port;
    {
        PtyPair pty;
        ASSERT_TRUE(port.Open(PtySettings(pty), CSerialPort::EV_RXCHAR));
        // The thread names itself once it runs.
        std::optional<pid_t> thread;
        for (int i = 0; i < 5000 && !thread; ++i) {
            thread = devicetest::FindThread("taliard-port");
            std::this_thread::sleep_for(1ms);
        }
        ASSERT_TRUE(thread) << "port thread not found by name";
        pty.CloseMaster();
        std::this_thread::sleep_for(100ms);
        const uint64_t before = devicetest::ThreadCpuTicks(*thread);
        std::this_thread::sleep_for(1s);
        const uint64_t used = devicetest::ThreadCpuTicks(*thread) - before;
        EXPECT_LE(used, 5u) << "the port thread spins after a hang-up (" << used << " ticks in 1 s)";
        EXPECT_FALSE(port.Write(reinterpret_cast<const uint8_t*>("x"), 1));
        port.Close();
        EXPECT_FALSE(port.IsOpen());
    }
    PtyPair next;
    ASSERT_TRUE(port.Open(PtySettings(next), CSerialPort::EV_RXCHAR)) << port.GetLastOpenError();
    ASSERT_TRUE(next.WriteToPort("again"));
    ASSERT_TRUE(port.WaitFor(5, 10s));
    const auto received = port.Received();
    EXPECT_EQ(std::string(received.begin(), received.end()), "again");
}

TEST(SerialPortRead, CloseWhileBytesStreamInReturns)
{
    PtyPair pty;
    RecordingPort port;
    ASSERT_TRUE(port.Open(PtySettings(pty), CSerialPort::EV_RXCHAR));
    std::atomic<bool> stop { false };
    std::thread feeder([&] {
        const auto block = Pattern(4096, 1);
        while (!stop)
            pty.WriteToPort(block.data(), block.size(), 50ms);
    });
    ASSERT_TRUE(port.WaitFor(10000, 10s));
    port.Close();
    EXPECT_FALSE(port.IsOpen());
    const size_t atClose = port.Received().size();
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(port.Received().size(), atClose) << "bytes delivered after Close returned";
    stop = true;
    feeder.join();
}

// --- writing ---

TEST(SerialPortWrite, BytesReachTheFarEnd)
{
    PtyPair pty;
    CSerialPort port;
    ASSERT_TRUE(port.Open(PtySettings(pty), CSerialPort::EV_RXCHAR));
    const auto sent = Pattern(100000, 9);
    std::future<std::vector<uint8_t>> far = std::async(std::launch::async, [&] {
        return pty.ReadFromPort(sent.size(), 20s);
    });
    EXPECT_TRUE(port.Write(sent.data(), static_cast<int32_t>(sent.size())));
    EXPECT_EQ(far.get(), sent);
}

TEST(SerialPortWrite, ZeroBytesIsTrueAndNegativeCountWritesNothing)
{
    PtyPair pty;
    CSerialPort port;
    ASSERT_TRUE(port.Open(PtySettings(pty), CSerialPort::EV_RXCHAR));
    const uint8_t bytes[] = { 1, 2, 3 };
    EXPECT_TRUE(port.Write(bytes, 0));
    EXPECT_FALSE(port.Write(bytes, -1));
    EXPECT_FALSE(port.Write(bytes, INT32_MIN));
    EXPECT_TRUE(pty.ReadUntilQuiet(50ms).empty());
}

TEST(SerialPortWrite, ClosedPortWritesNothing)
{
    CSerialPort port;
    const uint8_t byte = 1;
    EXPECT_FALSE(port.Write(&byte, 1));
    EXPECT_FALSE(port.Write(std::vector<uint8_t> {}));
}

TEST(SerialPortWrite, BlocksFromTwoThreadsNeverInterleave)
{
    constexpr size_t BLOCK = 5000;
    constexpr int BLOCKS_EACH = 40;
    PtyPair pty;
    CSerialPort port;
    ASSERT_TRUE(port.Open(PtySettings(pty), CSerialPort::EV_RXCHAR));
    std::future<std::vector<uint8_t>> far = std::async(std::launch::async, [&] {
        return pty.ReadFromPort(BLOCK * BLOCKS_EACH * 2, 30s);
    });
    const auto writer = [&port](uint8_t fill) {
        const std::vector<uint8_t> block(BLOCK, fill);
        for (int i = 0; i < BLOCKS_EACH; ++i)
            EXPECT_TRUE(port.Write(block));
    };
    std::thread first(writer, uint8_t { 'A' });
    std::thread second(writer, uint8_t { 'B' });
    first.join();
    second.join();
    const auto stream = far.get();
    ASSERT_EQ(stream.size(), BLOCK * BLOCKS_EACH * 2);
    for (size_t start = 0; start < stream.size(); start += BLOCK) {
        const auto begin = stream.begin() + static_cast<std::ptrdiff_t>(start);
        ASSERT_TRUE(std::all_of(begin, begin + BLOCK, [&](uint8_t b) { return b == *begin; }))
            << "a block is mixed at offset " << start;
    }
}

TEST(SerialPortWrite, AbortWriteUnblocksAStuckWrite)
{
    PtyPair pty;
    CSerialPort port;
    ASSERT_TRUE(port.Open(PtySettings(pty), CSerialPort::EV_RXCHAR));
    auto stuck = StartStuckWrite(port);
    ASSERT_EQ(stuck.wait_for(100ms), std::future_status::timeout) << "the write should be blocked";
    port.AbortWrite();
    ASSERT_EQ(stuck.wait_for(1s), std::future_status::ready) << "AbortWrite did not free the write";
    EXPECT_FALSE(stuck.get());

    // The write lock is free and, once resumed, writes wait for the line again.
    port.ResumeWrites();
    pty.ReadUntilQuiet(50ms);
    std::future<std::vector<uint8_t>> far = std::async(std::launch::async, [&] { return pty.ReadFromPort(3, 10s); });
    EXPECT_TRUE(port.Write(reinterpret_cast<const uint8_t*>("abc"), 3));
    EXPECT_EQ(far.get(), (std::vector<uint8_t> { 'a', 'b', 'c' }));
}

TEST(SerialPortWrite, AbortLatchesUntilResumedOrReopened)
{
    PtyPair pty;
    CSerialPort port;
    ASSERT_TRUE(port.Open(PtySettings(pty), CSerialPort::EV_RXCHAR));
    port.AbortWrite();
    // A write that would have to wait gives up, though it had not begun.
    EXPECT_FALSE(port.Write(Pattern(200000, 3)));
    pty.ReadUntilQuiet(50ms);
    port.Close();
    ASSERT_TRUE(port.Open(PtySettings(pty), CSerialPort::EV_RXCHAR));
    // Large enough to wait for room at least once.
    const auto sent = Pattern(200000, 5);
    std::future<std::vector<uint8_t>> far = std::async(std::launch::async, [&] {
        return pty.ReadFromPort(sent.size(), 20s);
    });
    EXPECT_TRUE(port.Write(sent));
    EXPECT_EQ(far.get(), sent);
}

TEST(SerialPortWrite, CloseMakesABlockedWriteGiveUp)
{
    PtyPair pty;
    CSerialPort port;
    ASSERT_TRUE(port.Open(PtySettings(pty), CSerialPort::EV_RXCHAR));
    auto stuck = StartStuckWrite(port);
    ASSERT_EQ(stuck.wait_for(100ms), std::future_status::timeout);
    const auto start = std::chrono::steady_clock::now();
    port.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    ASSERT_EQ(stuck.wait_for(1s), std::future_status::ready);
    EXPECT_FALSE(stuck.get());
}

// --- opening and closing ---

class SerialPortOpen : public testing::Test {
protected:
    void TearDown() override { ClearPortOverrides(); }
};

TEST_F(SerialPortOpen, OpenOnAnOpenPortKeepsItsSettings)
{
    PtyPair pty;
    RecordingPort port;
    ASSERT_TRUE(port.Open(PtySettings(pty, L"9600"), CSerialPort::EV_RXCHAR));
    EXPECT_TRUE(port.Open(PtySettings(pty, L"not even a rate"), CSerialPort::EV_RXCHAR));
    EXPECT_TRUE(port.GetLastOpenError().empty());
    ASSERT_TRUE(pty.WriteToPort("z"));
    EXPECT_TRUE(port.WaitFor(1, 10s)) << "the port thread was restarted or lost";
}

TEST_F(SerialPortOpen, APortHeldElsewhereFailsAtOnce)
{
    PtyPair pty;
    CSerialPort holder;
    ASSERT_TRUE(holder.Open(PtySettings(pty), CSerialPort::EV_RXCHAR));
    CSerialPort second;
    const int fdsBefore = devicetest::CountOpenFds();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(second.Open(PtySettings(pty), CSerialPort::EV_RXCHAR));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_FALSE(second.IsOpen());
    EXPECT_EQ(devicetest::CountOpenFds(), fdsBefore);
    EXPECT_EQ(second.GetLastOpenError(), pty.SlavePath() + "：已被其他程序占用");
}

TEST_F(SerialPortOpen, AMissingDeviceFailsAndLeavesNothingOpen)
{
    ASSERT_TRUE(SetPortOverride("COM9=/dev/taliard-no-such-port"));
    CSerialPort port;
    const int fdsBefore = devicetest::CountOpenFds();
    EXPECT_FALSE(port.Open({ L"com9", L"115200", L"无", L"8", L"1" }, CSerialPort::EV_RXCHAR));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(devicetest::CountOpenFds(), fdsBefore);
    EXPECT_EQ(port.GetLastOpenError(), "com9 (/dev/taliard-no-such-port)：设备不存在");
}

TEST_F(SerialPortOpen, AnUnparsableBaudFailsAndLeavesNothingOpen)
{
    PtyPair pty;
    CSerialPort port;
    const int fdsBefore = devicetest::CountOpenFds();
    EXPECT_FALSE(port.Open(PtySettings(pty, L"abc"), CSerialPort::EV_RXCHAR));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(devicetest::CountOpenFds(), fdsBefore);
    EXPECT_EQ(port.GetLastOpenError(), pty.SlavePath() + "：设备不接受这些线路设置");
    // The port was not left held.
    EXPECT_TRUE(port.Open(PtySettings(pty), CSerialPort::EV_RXCHAR)) << port.GetLastOpenError();
    EXPECT_TRUE(port.GetLastOpenError().empty());
}

TEST_F(SerialPortOpen, AFileThatIsNoTerminalFails)
{
    CSerialPort port;
    const int fdsBefore = devicetest::CountOpenFds();
    EXPECT_FALSE(port.Open({ L"/dev/null", L"9600", L"无", L"8", L"1" }, CSerialPort::EV_RXCHAR));
    EXPECT_EQ(devicetest::CountOpenFds(), fdsBefore);
    EXPECT_EQ(port.GetLastOpenError(), "/dev/null：不是串口设备");
}

TEST_F(SerialPortOpen, AnUnknownNameFails)
{
    CSerialPort port;
    EXPECT_FALSE(port.Open({ L"COM99", L"9600", L"无", L"8", L"1" }, CSerialPort::EV_RXCHAR));
    EXPECT_EQ(port.GetLastOpenError(), "COM99：不是串口名（应为 COM1 到 COM32 或设备的绝对路径）");
}

TEST_F(SerialPortOpen, ALowerCaseComNameOpensThePort)
{
    PtyPair pty;
    ASSERT_TRUE(SetPortOverride("COM4=" + pty.SlavePath()));
    RecordingPort port;
    ASSERT_TRUE(port.Open({ L"com4", L"115200", L"无", L"8", L"1" }, CSerialPort::EV_RXCHAR))
        << port.GetLastOpenError();
    ASSERT_TRUE(pty.WriteToPort("k"));
    EXPECT_TRUE(port.WaitFor(1, 10s));
}

TEST_F(SerialPortOpen, CloseAndReopenLeaveNoDescriptorBehind)
{
    PtyPair pty;
    CSerialPort port;
    port.Close(); // closing a closed port does nothing
    const int fdsBefore = devicetest::CountOpenFds();
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(port.Open(PtySettings(pty, i % 2 == 0 ? L"9600" : L"204800"), CSerialPort::EV_RXCHAR));
        port.Close();
        EXPECT_FALSE(port.IsOpen());
    }
    EXPECT_EQ(devicetest::CountOpenFds(), fdsBefore);
    // Released: someone else can take it now.
    CSerialPort other;
    EXPECT_TRUE(other.Open(PtySettings(pty), CSerialPort::EV_RXCHAR)) << other.GetLastOpenError();
}

} // namespace
