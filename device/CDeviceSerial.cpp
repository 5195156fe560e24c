#include "device/CDeviceSerial.h"

#include "platform/Utf8.h"
#include "platform/TickCount.h"

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <limits>
#include <mutex>

namespace {

const wchar_t* const DEVICE_NAME = L"串口设备";
const wchar_t* const NOT_MEASURED = L"未测定";

// How long one look at the device lock lasts before the delivery checks
// again whether the port is being closed.
constexpr std::chrono::microseconds DELIVERY_LOCK_SLICE { 1000 };

const wchar_t* YesNo(bool value)
{
    return value ? L"是" : L"否";
}

} // namespace

CDeviceSerial::CDeviceSerial()
{
    m_strName = DEVICE_NAME;
    ResetStatistics();
}

CDeviceSerial::~CDeviceSerial()
{
    // Before any member goes: the port thread uses the counters and the lock.
    m_port.Close();
}

bool CDeviceSerial::IsOpen() const
{
    return m_port.IsOpen();
}

bool CDeviceSerial::Write(const uint8_t* bytes, int32_t count)
{
    if (!CanSend() || !IsOpen() || count < 0)
        return false;
    m_port.Write(bytes, count);
    m_sentCount.AddValue(count);
    return true;
}

bool CDeviceSerial::Write(const std::wstring& text)
{
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size());
    for (const wchar_t c : text)
        bytes.push_back(static_cast<uint32_t>(c) <= 0xFF ? static_cast<uint8_t>(c) : uint8_t { '?' });
    return Write(bytes);
}

bool CDeviceSerial::Write(const std::vector<uint8_t>& bytes)
{
    if (bytes.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
        return false;
    return Write(bytes.data(), static_cast<int32_t>(bytes.size()));
}

void CDeviceSerial::Describe(DescribeRow& row)
{
    CCriticalSectionFuncation guard(m_csDevice);
    row[0] = DEVICE_NAME;
    row[1] = GetAddress();
    row[2] = GetRemark();
    row[3] = YesNo(CanReceive());
    row[4] = YesNo(CanSend());
    row[5].clear();
    row[7] = IsConnected() ? L"已连接" : L"未连接";
    row[8] = DescribeRate();
}

std::wstring CDeviceSerial::DescribeRate()
{
    const uint32_t now = platform::GetTickCount();
    const int32_t received = m_receivedCount.GetValue();
    if (m_bFirstSample != 0) {
        m_bFirstSample = 0;
        m_nLastSampleTick = now;
        m_receivedAtSample.SetValue(received);
        return NOT_MEASURED;
    }
    // Unsigned differences: both the tick count and the counter wrap.
    const uint32_t elapsed = now - m_nLastSampleTick;
    if (elapsed == 0)
        return NOT_MEASURED; // keeps the sample, so the next call measures
    const uint32_t bytes = static_cast<uint32_t>(received) - static_cast<uint32_t>(m_receivedAtSample.GetValue());
    const double rate = bytes * 1000.0 / elapsed;
    m_nLastSampleTick = now;
    m_receivedAtSample.SetValue(received);
    std::array<wchar_t, 64> text {};
    std::swprintf(text.data(), text.size(), L"%3.3f", rate);
    return text.data();
}

bool CDeviceSerial::OpenWith(const SerialSettings& settings, int flag)
{
    CCriticalSectionFuncation guard(m_csDevice);
    if (!SetSettings(settings, flag))
        return false;
    return Open(flag != 0);
}

bool CDeviceSerial::Open(bool report)
{
    CCriticalSectionFuncation guard(m_csDevice);
    if (!m_port.Open(m_settings, OPEN_EVENT_MASK)) {
        if (report) {
            std::array<wchar_t, 1024> text {};
            std::swprintf(text.data(), text.size(),
                          L"[%ls] {%ls} 串口打开错误[端口:%ls 波特率:%ls 奇偶校验:%ls 数据位:%ls 停止位:%ls]",
                          DEVICE_NAME, m_strAddress.c_str(), m_settings.m_strPortName.c_str(),
                          m_settings.m_strBaudRate.c_str(), m_settings.m_strParity.c_str(),
                          m_settings.m_strDataBits.c_str(), m_settings.m_strStopBits.c_str());
            std::fprintf(stderr, "%s %s\n", Utf8FromWide(text.data()).c_str(), m_port.GetLastOpenError().c_str());
        }
        return false;
    }
    m_port.SetReceiveCallback(&CDeviceSerial::PortRunCallback, this);
    return true;
}

bool CDeviceSerial::CloseWith(const SerialSettings& /*settings*/, int flag)
{
    CCriticalSectionFuncation guard(m_csDevice);
    return Close(flag);
}

bool CDeviceSerial::Close(int /*flag*/)
{
    CCriticalSectionFuncation guard(m_csDevice);
    m_port.Close();
    ResetStatistics();
    return true;
}

bool CDeviceSerial::SetSettings(const SerialSettings& settings, int /*flag*/)
{
    CCriticalSectionFuncation guard(m_csDevice);
    m_settings = settings;
    m_strAddress = settings.m_strPortName;
    m_strRemark = L"无";
    return true;
}

void CDeviceSerial::ResetStatistics()
{
    CCriticalSectionFuncation guard(m_csDevice);
    m_receivedCount.SetValue(0);
    m_receivedAtSample.SetValue(0);
    m_deliveredCount.SetValue(0);
    m_sentCount.SetValue(0);
    m_bFirstSample = 1;
    m_nLastSampleTick = 0;
}

void CDeviceSerial::AbortWrite()
{
    m_port.AbortWrite();
}

void CDeviceSerial::ResumeWrites()
{
    m_port.ResumeWrites();
}

std::string CDeviceSerial::GetLastOpenError() const
{
    return m_port.GetLastOpenError();
}

bool CDeviceSerial::LockForDelivery()
{
    if (m_csDevice.TryLock())
        return true;
    while (!m_port.IsStopRequested()) {
        if (m_csDevice.TryLockFor(DELIVERY_LOCK_SLICE))
            return true;
    }
    return false;
}

namespace {

// A counter that changes only under the device lock: a read and a store, not
// a locked add. Wraps like AddValue.
void AdvanceUnderLock(CInterlockedValue& counter, size_t count)
{
    counter.SetValue(static_cast<int32_t>(static_cast<uint32_t>(counter.GetValue()) + static_cast<uint32_t>(count)));
}

} // namespace

// The device lock is taken once per run read from the line, not per byte: a
// run is at most one read block, so the UI waits a fraction of a millisecond
// at most, and a fast line costs one lock round trip per block.
void CDeviceSerial::PortRunCallback(const uint8_t* bytes, size_t count, void* context)
{
    auto* device = static_cast<CDeviceSerial*>(context);
    device->m_busyCell.SetValue(1);
    if (device->LockForDelivery()) {
        std::unique_lock lock(device->m_csDevice.GetSection(), std::adopt_lock);
        device->DeliverRun(bytes, count);
    }
    device->m_busyCell.SetValue(0);
}

void CDeviceSerial::DeliverRun(const uint8_t* bytes, size_t count)
{
    AdvanceUnderLock(m_receivedCount, count);
    if (m_pfnHandler == nullptr)
        return;
    if (m_pfnRunHandler != nullptr) {
        AdvanceUnderLock(m_deliveredCount, count);
        m_pfnRunHandler(bytes, count, m_pHandlerContext);
        return;
    }
    // A handler that waits would hold up Close: the rest of the run is
    // given up once a stop is asked for.
    for (size_t i = 0; i < count && !m_port.IsStopRequested(); ++i) {
        AdvanceUnderLock(m_deliveredCount, 1);
        m_pfnHandler(bytes[i], m_pHandlerContext);
    }
}
