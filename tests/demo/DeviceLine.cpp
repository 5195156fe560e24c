#include "tests/demo/DeviceLine.h"

namespace demotest {

DeviceLine::DeviceLine()
{
    // Attached before the port opens, so no early byte is dropped.
    m_device.SetReceiveHandler(&DeviceLine::OnByte, this);
}

DeviceLine::~DeviceLine()
{
    Close();
}

bool DeviceLine::Open(const std::wstring& portName)
{
    return m_device.OpenWith(SerialSettings { portName, L"115200", L"无", L"8", L"1" }, 0);
}

void DeviceLine::Close()
{
    m_device.Close(0);
}

bool DeviceLine::Write(const std::string& text)
{
    return m_device.Write(reinterpret_cast<const uint8_t*>(text.data()), static_cast<int32_t>(text.size()));
}

bool DeviceLine::WaitFor(const std::string& expected, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_received.find(expected) != std::string::npos; });
}

std::string DeviceLine::Received() const
{
    std::lock_guard lock(m_mutex);
    return m_received;
}

void DeviceLine::OnByte(uint8_t byte, void* context)
{
    auto* self = static_cast<DeviceLine*>(context);
    if (self->m_pXmodem != nullptr)
        self->m_pXmodem->OnReply(byte);
    {
        std::lock_guard lock(self->m_mutex);
        self->m_received.push_back(static_cast<char>(byte));
    }
    self->m_changed.notify_all();
}

} // namespace demotest
