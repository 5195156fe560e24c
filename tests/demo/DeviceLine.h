// A port opened through the device layer, as the document opens it, for the
// demo tests: records every byte that arrives and can pass each one on to
// an XMODEM sender's reply handler. Test thread, except the recording,
// which runs on the port thread.
#pragma once

#include "device/CDeviceSerial.h"
#include "transfer/Xmodem.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>

namespace demotest {

class DeviceLine {
public:
    DeviceLine();
    ~DeviceLine();
    DeviceLine(const DeviceLine&) = delete;
    DeviceLine& operator=(const DeviceLine&) = delete;

    // Received bytes also go to the sender's OnReply; call while closed, and
    // close the line before the sender goes.
    void ForwardTo(CXmodem* pXmodem) { m_pXmodem = pXmodem; }
    // 115200 8N1, the document's defaults.
    bool Open(const std::wstring& portName);
    void Close();
    std::string GetLastOpenError() const { return m_device.GetLastOpenError(); }
    CDeviceSerial& Device() { return m_device; }

    bool Write(const std::string& text);
    // True once `expected` has arrived (anywhere in what arrived so far).
    bool WaitFor(const std::string& expected, std::chrono::milliseconds timeout) const;
    std::string Received() const;

private:
    static void OnByte(uint8_t byte, void* context);

    CXmodem* m_pXmodem = nullptr;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::string m_received;
    CDeviceSerial m_device; // last member: its port thread stops before the rest goes
};

} // namespace demotest
