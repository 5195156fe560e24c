// The serial device: its slots and texts, the counters, and delivery to the
// handler under the device lock, on pseudo-terminal pairs.
#include "device/CDeviceSerial.h"
#include "tests/device/PortTestSupport.h"
#include "tests/support/PtyPair.h"
#include "tests/support/WaitUntil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using devicetest::PtySettings;
using testsupport::WaitUntil;
using testsupport::PtyPair;

// Checks a stream of i % 251 without keeping it: no allocation per byte.
struct StreamChecker {
    std::atomic<uint64_t> count { 0 };
    std::atomic<uint64_t> mismatches { 0 };

    static void Handler(uint8_t byte, void* context)
    {
        auto* self = static_cast<StreamChecker*>(context);
        const uint64_t index = self->count.load(std::memory_order_relaxed);
        if (byte != static_cast<uint8_t>(index % 251))
            self->mismatches.fetch_add(1, std::memory_order_relaxed);
        self->count.store(index + 1, std::memory_order_release);
    }
};

struct Counter {
    std::atomic<int> calls { 0 };
    static void Handler(uint8_t, void* context) { static_cast<Counter*>(context)->calls++; }
};

void NoOp(uint8_t, void*) {}

// Lets a test hold the device lock as another of its users would.
class LockableDevice : public CDeviceSerial {
public:
    void HoldLock() { m_csDevice.Lock(); }
    bool TryHoldLock() { return m_csDevice.TryLockFor(std::chrono::seconds(5)); }
    void ReleaseLock() { m_csDevice.Unlock(); }
};

// A LockableDevice open on a pty with a Counter as its handler.
class CountingDevice : public ::testing::Test {
protected:
    void SetUp() override
    {
        device.SetSettings(PtySettings(pty), 0);
        ASSERT_TRUE(device.Open(false));
        device.SetReceiveHandler(&Counter::Handler, &counter);
    }

    PtyPair pty;
    LockableDevice device;
    Counter counter;
};

// --- slots and texts ---

TEST(DeviceSerial, NewDeviceAnswers)
{
    const CDeviceSerial device;
    EXPECT_EQ(device.GetName(), L"串口设备");
    EXPECT_EQ(device.GetAddress(), L"");
    EXPECT_EQ(device.GetRemark(), L"");
    EXPECT_FALSE(device.IsOpen());
    EXPECT_FALSE(device.IsConnected());
    EXPECT_FALSE(device.IsDelivering());
    EXPECT_EQ(device.GetReceiveHandler(), nullptr);
    EXPECT_EQ(device.GetReceiveContext(), nullptr);
    EXPECT_TRUE(device.CanOpen());
    EXPECT_TRUE(device.CanReceive());
    EXPECT_TRUE(device.CanSend());
    EXPECT_FALSE(device.NeedsPolling());
    EXPECT_TRUE(device.CanConfigure());
    EXPECT_TRUE(device.CanDescribe());
    EXPECT_TRUE(device.GetLastOpenError().empty());
}

TEST(DeviceSerial, SetSettingsSetsAddressAndRemark)
{
    CDeviceSerial device;
    EXPECT_TRUE(device.SetSettings({ L"COM1", L"115200", L"N", L"8", L"1" }, 0));
    EXPECT_EQ(device.GetAddress(), L"COM1");
    EXPECT_EQ(device.GetRemark(), L"无");
}

TEST(DeviceSerial, HandlerMakesTheDeviceConnectedOpenOrNot)
{
    CDeviceSerial device;
    int context = 0;
    device.SetReceiveHandler(&NoOp, &context);
    EXPECT_TRUE(device.IsConnected());
    EXPECT_EQ(device.GetReceiveHandler(), &NoOp);
    EXPECT_EQ(device.GetReceiveContext(), &context);
    device.ClearReceiveHandler();
    EXPECT_FALSE(device.IsConnected());
    EXPECT_EQ(device.GetReceiveContext(), nullptr);

    device.SetAlternateReceiveHandler(&NoOp, &context);
    EXPECT_TRUE(device.IsConnected());
    device.SetAuxiliaryReceiveHandler(&NoOp, &context);
    EXPECT_TRUE(device.IsConnected());
    device.ClearReceiveHandler();

    PtyPair pty;
    device.SetSettings(PtySettings(pty), 0);
    ASSERT_TRUE(device.Open(false));
    EXPECT_FALSE(device.IsConnected());
    device.SetReceiveHandler(&NoOp, &context);
    EXPECT_TRUE(device.IsConnected());
    device.ClearReceiveHandler();
    EXPECT_FALSE(device.IsConnected());
}

// --- open, close, write ---

TEST(DeviceSerial, FailedOpenLeavesItClosedAndACorrectedOpenWorks)
{
    PtyPair pty;
    CDeviceSerial device;
    device.SetSettings({ L"/dev/taliard-no-such-port", L"115200", L"无", L"8", L"1" }, 0);
    EXPECT_FALSE(device.Open(false));
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(device.GetLastOpenError(), "/dev/taliard-no-such-port：设备不存在");

    device.SetSettings(PtySettings(pty), 0);
    EXPECT_TRUE(device.Open(false)) << device.GetLastOpenError();
    EXPECT_TRUE(device.IsOpen());
    EXPECT_TRUE(device.GetLastOpenError().empty());
}

TEST(DeviceSerial, FailedOpenWithReportWritesTheDiagnostic)
{
    CDeviceSerial device;
    device.SetSettings({ L"/dev/taliard-no-such-port", L"9600", L"偶校验", L"7", L"2" }, 0);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(device.Open(true));
    const std::string output = testing::internal::GetCapturedStderr();
    EXPECT_NE(output.find("[串口设备] {/dev/taliard-no-such-port} 串口打开错误[端口:/dev/taliard-no-such-port "
                          "波特率:9600 奇偶校验:偶校验 数据位:7 停止位:2]"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("设备不存在"), std::string::npos) << output;
}

TEST(DeviceSerial, OpenWithAndCloseWith)
{
    PtyPair pty;
    CDeviceSerial device;
    EXPECT_TRUE(device.OpenWith(PtySettings(pty), 0));
    EXPECT_TRUE(device.IsOpen());
    EXPECT_EQ(device.GetAddress(), devicetest::Wide(pty.SlavePath()));
    EXPECT_TRUE(device.CloseWith({}, 0));
    EXPECT_FALSE(device.IsOpen());
}

TEST(DeviceSerial, WritesCountOnlyOnAnOpenDevice)
{
    PtyPair pty;
    CDeviceSerial device;
    device.SetSettings(PtySettings(pty), 0);
    const uint8_t bytes[] = { 'h', 'i' };
    EXPECT_FALSE(device.Write(bytes, 2));
    EXPECT_EQ(device.GetSentCount(), 0);

    ASSERT_TRUE(device.Open(false));
    EXPECT_TRUE(device.Write(bytes, 2));
    EXPECT_TRUE(device.Write(std::vector<uint8_t> { '!' }));
    EXPECT_TRUE(device.Write(std::wstring(L"\u00E9\u4E32")));
    EXPECT_FALSE(device.Write(bytes, -1));
    EXPECT_EQ(device.GetSentCount(), 5);
    EXPECT_EQ(pty.ReadFromPort(5, 10s), (std::vector<uint8_t> { 'h', 'i', '!', 0xE9, '?' }));

    device.Close(0);
    EXPECT_EQ(device.GetSentCount(), 0);
    EXPECT_FALSE(device.Write(bytes, 2));
}

TEST(DeviceSerial, AbortWriteReachesThePort)
{
    PtyPair pty;
    CDeviceSerial device;
    device.SetSettings(PtySettings(pty), 0);
    ASSERT_TRUE(device.Open(false));
    auto stuck = std::async(std::launch::async, [&device] {
        const std::vector<uint8_t> big(1 << 20, 0x55);
        return device.Write(big);
    });
    ASSERT_EQ(stuck.wait_for(100ms), std::future_status::timeout);
    device.AbortWrite();
    EXPECT_EQ(stuck.wait_for(1s), std::future_status::ready);
}

// --- receiving ---

TEST(DeviceSerial, TenMegabytesReachTheHandlerInOrderWithoutLoss)
{
    constexpr size_t TOTAL = 10u << 20;
    PtyPair pty;
    CDeviceSerial device;
    StreamChecker checker;
    device.SetSettings(PtySettings(pty, L"921600"), 0);
    ASSERT_TRUE(device.Open(false));
    device.SetReceiveHandler(&StreamChecker::Handler, &checker);

    std::thread feeder([&pty] {
        std::vector<uint8_t> chunk(251 * 256);
        for (size_t i = 0; i < chunk.size(); ++i)
            chunk[i] = static_cast<uint8_t>(i % 251);
        size_t sent = 0;
        while (sent < TOTAL) {
            const size_t length = std::min(chunk.size(), TOTAL - sent);
            if (!pty.WriteToPort(chunk.data(), length, 60s))
                return;
            sent += length;
        }
    });
    const bool complete = WaitUntil([&] { return checker.count.load() >= TOTAL; }, 120s);
    feeder.join();
    EXPECT_TRUE(complete) << checker.count.load() << " of " << TOTAL << " bytes arrived";
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(checker.count.load(), TOTAL);
    EXPECT_EQ(checker.mismatches.load(), 0u);
    EXPECT_EQ(device.GetReceivedCount(), static_cast<int32_t>(TOTAL));
    EXPECT_EQ(device.GetDeliveredCount(), static_cast<int32_t>(TOTAL));
}

TEST(DeviceSerial, BytesBeforeAHandlerAreCountedAndDropped)
{
    PtyPair pty;
    CDeviceSerial device;
    device.SetSettings(PtySettings(pty), 0);
    ASSERT_TRUE(device.Open(false));
    ASSERT_TRUE(pty.WriteToPort("early"));
    ASSERT_TRUE(WaitUntil([&] { return device.GetReceivedCount() == 5; }, 10s));
    EXPECT_EQ(device.GetDeliveredCount(), 0);

    Counter counter;
    device.SetReceiveHandler(&Counter::Handler, &counter);
    ASSERT_TRUE(pty.WriteToPort("x"));
    ASSERT_TRUE(WaitUntil([&] { return counter.calls.load() == 1; }, 10s));
    EXPECT_EQ(device.GetReceivedCount(), 6);
    EXPECT_EQ(device.GetDeliveredCount(), 1);
}

TEST_F(CountingDevice, TheDeviceLockIsFreeAgainOnceTheBytesReadAreDelivered)
{
    for (const char* text : { "abc", "d" }) {
        const int before = counter.calls.load();
        ASSERT_TRUE(pty.WriteToPort(text));
        ASSERT_TRUE(WaitUntil([&] { return counter.calls.load() == before + static_cast<int>(std::strlen(text)); }, 10s));
        ASSERT_TRUE(device.TryHoldLock()) << "the port thread kept the device lock";
        EXPECT_FALSE(device.IsDelivering());
        device.ReleaseLock();
    }
}

// Records what reaches a run handler; flags a call that overlaps another.
struct RunRecorder {
    std::mutex mutex;
    std::vector<uint8_t> bytes;
    int runs = 0;
    std::atomic<bool> inside { false };
    std::atomic<bool> overlapped { false };
    std::atomic<int> byteCalls { 0 };

    static void Byte(uint8_t, void* context) { static_cast<RunRecorder*>(context)->byteCalls++; }
    static void Run(const uint8_t* data, size_t count, void* context)
    {
        auto* self = static_cast<RunRecorder*>(context);
        if (self->inside.exchange(true))
            self->overlapped = true;
        {
            std::lock_guard lock(self->mutex);
            self->bytes.insert(self->bytes.end(), data, data + count);
            ++self->runs;
        }
        std::this_thread::sleep_for(100us);
        self->inside = false;
    }
    size_t Size()
    {
        std::lock_guard lock(mutex);
        return bytes.size();
    }
};

std::vector<uint8_t> Stream(size_t size)
{
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>(i % 251);
    return bytes;
}

class RunDevice : public ::testing::Test {
protected:
    void SetUp() override
    {
        device.SetSettings(PtySettings(pty), 0);
        ASSERT_TRUE(device.Open(false));
        device.SetRunHandler(&RunRecorder::Run);
        device.SetReceiveHandler(&RunRecorder::Byte, &recorder);
    }

    PtyPair pty;
    CDeviceSerial device;
    RunRecorder recorder;
};

TEST_F(RunDevice, EveryByteReachesTheRunHandlerOnceInOrderAndRunsNeverOverlap)
{
    const auto sent = Stream(300000);
    ASSERT_TRUE(pty.WriteToPort(sent.data(), sent.size(), 60s));
    ASSERT_TRUE(WaitUntil([&] { return recorder.Size() >= sent.size(); }, 60s));
    std::this_thread::sleep_for(20ms);
    {
        std::lock_guard lock(recorder.mutex);
        EXPECT_EQ(recorder.bytes, sent);
        EXPECT_LT(recorder.runs, static_cast<int>(sent.size())) << "the bytes came one call each";
    }
    EXPECT_FALSE(recorder.overlapped.load());
    EXPECT_EQ(recorder.byteCalls.load(), 0);
    EXPECT_EQ(device.GetDeliveredCount(), static_cast<int32_t>(sent.size()));

    // Detaching the handler detaches the run handler with it.
    device.ClearReceiveHandler();
    ASSERT_TRUE(pty.WriteToPort("d"));
    ASSERT_TRUE(WaitUntil([&] { return device.GetReceivedCount() == static_cast<int32_t>(sent.size()) + 1; }, 10s));
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(recorder.Size(), sent.size());
}

TEST_F(RunDevice, CloseInTheMiddleOfAStreamLeavesAnInOrderPrefixAndNothingAfter)
{
    std::atomic<bool> stop { false };
    std::thread feeder([&] {
        const auto block = Stream(251 * 16);
        while (!stop)
            pty.WriteToPort(block.data(), block.size(), 50ms);
    });
    ASSERT_TRUE(WaitUntil([&] { return recorder.Size() > 20000; }, 10s));
    device.Close(0);
    const size_t atClose = recorder.Size();
    EXPECT_FALSE(recorder.inside.load()) << "a run was still being delivered after Close returned";
    std::this_thread::sleep_for(50ms);
    stop = true;
    feeder.join();

    std::lock_guard lock(recorder.mutex);
    EXPECT_EQ(recorder.bytes.size(), atClose) << "bytes delivered after Close returned";
    const auto expected = Stream(251 * 16);
    for (size_t i = 0; i < recorder.bytes.size(); ++i)
        ASSERT_EQ(recorder.bytes[i], expected[i % expected.size()]) << "at byte " << i;
    EXPECT_FALSE(recorder.overlapped.load());
}

TEST_F(CountingDevice, CloseReturnsWhileTheDeliveryWaitsForTheLockItHolds)
{
    device.HoldLock();
    ASSERT_TRUE(pty.WriteToPort("x"));
    ASSERT_TRUE(WaitUntil([&] { return device.IsDelivering(); }, 10s));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(device.Close(0));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    device.ReleaseLock();

    EXPECT_LT(elapsed, 250ms) << "Close took "
                              << std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() << " ms";
    EXPECT_FALSE(device.IsOpen());
    EXPECT_FALSE(device.IsDelivering());
    EXPECT_EQ(counter.calls.load(), 0);
    // Still usable afterwards.
    ASSERT_TRUE(device.Open(false));
    ASSERT_TRUE(pty.WriteToPort("y"));
    EXPECT_TRUE(WaitUntil([&] { return counter.calls.load() == 1; }, 10s));
}

TEST(DeviceSerial, DestructionWaitsForAHandlerCallInProgress)
{
    struct Slow {
        std::atomic<bool> entered { false };
        std::atomic<bool> finished { false };
        static void Handler(uint8_t, void* context)
        {
            auto* self = static_cast<Slow*>(context);
            self->entered = true;
            std::this_thread::sleep_for(200ms);
            self->finished = true;
        }
    } slow;
    PtyPair pty;
    auto device = std::make_unique<CDeviceSerial>();
    device->SetSettings(PtySettings(pty), 0);
    ASSERT_TRUE(device->Open(false));
    device->SetReceiveHandler(&Slow::Handler, &slow);
    ASSERT_TRUE(pty.WriteToPort("x"));
    ASSERT_TRUE(WaitUntil([&] { return slow.entered.load(); }, 10s));
    device.reset();
    EXPECT_TRUE(slow.finished.load());
}

// --- description ---

TEST(DeviceSerialDescribe, FirstCallIsNotMeasured)
{
    CDeviceSerial device;
    device.SetSettings({ L"COM2", L"9600", L"无", L"8", L"1" }, 0);
    CDeviceSerial::DescribeRow row;
    row.fill(L"keep");
    device.Describe(row);
    EXPECT_EQ(row[0], L"串口设备");
    EXPECT_EQ(row[1], L"COM2");
    EXPECT_EQ(row[2], L"无");
    EXPECT_EQ(row[3], L"是");
    EXPECT_EQ(row[4], L"是");
    EXPECT_EQ(row[5], L"");
    EXPECT_EQ(row[6], L"keep");
    EXPECT_EQ(row[7], L"未连接");
    EXPECT_EQ(row[8], L"未测定");
    device.SetReceiveHandler(&NoOp, nullptr);
    device.Describe(row);
    EXPECT_EQ(row[7], L"已连接");
}

TEST(DeviceSerialDescribe, SecondCallGivesTheRateWithThreeDecimals)
{
    PtyPair pty;
    CDeviceSerial device;
    device.SetSettings(PtySettings(pty), 0);
    ASSERT_TRUE(device.Open(false));
    CDeviceSerial::DescribeRow row;
    device.Describe(row);
    ASSERT_EQ(row[8], L"未测定");

    ASSERT_TRUE(pty.WriteToPort(std::string(1000, 'r')));
    ASSERT_TRUE(WaitUntil([&] { return device.GetReceivedCount() == 1000; }, 10s));
    std::this_thread::sleep_for(20ms);
    device.Describe(row);
    const std::wstring& text = row[8];
    const size_t point = text.find(L'.');
    ASSERT_TRUE(point != std::wstring::npos && point > 0 && text.size() - point == 4
                && std::all_of(text.begin(), text.end(), [](wchar_t c) { return c == L'.' || (c >= L'0' && c <= L'9'); }))
        << "rate text is not %3.3f: " << std::string(text.begin(), text.end());
    const double rate = std::stod(text);
    EXPECT_GT(rate, 0.0);
    EXPECT_LE(rate, 1000.0 * 1000 / 20) << "more bytes per second than the bytes and the time allow";

    // Nothing new since: the next rate is zero.
    std::this_thread::sleep_for(5ms);
    device.Describe(row);
    EXPECT_EQ(row[8], L"0.000");

    device.Close(0);
    device.Describe(row);
    EXPECT_EQ(row[8], L"未测定");
}

TEST(DeviceSerialDescribe, NoTimeBetweenTwoCallsIsNotADivisionByZero)
{
    CDeviceSerial device;
    CDeviceSerial::DescribeRow row;
    device.Describe(row);
    // Two calls inside one millisecond tick: either a rate or not measured,
    // never inf or nan.
    for (int i = 0; i < 1000; ++i) {
        device.Describe(row);
        ASSERT_TRUE(row[8] == L"未测定" || row[8] == L"0.000") << std::string(row[8].begin(), row[8].end());
    }
}

} // namespace
