// The serial device: opens its CSerialPort with the five settings texts,
// hands every received byte to the attached handler, counts bytes and
// measures the receive rate. The owner (UI thread) configures, opens and
// closes; any thread writes; the port thread delivers (PortRunCallback).
#pragma once

#include "device/CDeviceBase.h"
#include "device/CSerialPort.h"
#include "device/SerialSettings.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// After Close returns no handler call starts. The handler must return
// quickly and never close or destroy the device.
class CDeviceSerial : public CDeviceBase {
public:
    static constexpr uint32_t OPEN_EVENT_MASK = CSerialPort::EV_RXCHAR | CSerialPort::EV_RXFLAG;
    static constexpr size_t DESCRIBE_COLUMNS = 9;
    using DescribeRow = std::array<std::wstring, DESCRIBE_COLUMNS>;

    CDeviceSerial();
    // Closes the port; a delivery waiting for the device lock gives up, so
    // this waits at most for the run of handler calls already under way.
    ~CDeviceSerial() override;

    bool IsOpen() const override;
    // True when the device was open and the bytes were handed to the port,
    // not that all of them went out. Counted as sent.
    bool Write(const uint8_t* bytes, int32_t count) override;
    // One byte per character: U+0000..U+00FF as that byte, others as '?'.
    bool Write(const std::wstring& text) override;
    bool Write(const std::vector<uint8_t>& bytes) override;

    // Fills the row: type name, address, remark, can receive, can send,
    // an empty text, (the seventh is left as it is), connected, and the
    // receive rate in bytes per second since the previous call ("%3.3f"),
    // or "未测定" when there is no previous sample or no time has passed.
    virtual void Describe(DescribeRow& row);
    virtual bool OpenWith(const SerialSettings& settings, int flag);
    // With `report`, a failure is also written to standard error.
    virtual bool Open(bool report);
    // The settings are not used; same as Close.
    virtual bool CloseWith(const SerialSettings& settings, int flag);
    // Closes the port and resets the statistics; always true.
    virtual bool Close(int flag);
    // Stores the texts; the address becomes the port name, the remark "无".
    virtual bool SetSettings(const SerialSettings& settings, int flag);

    void ResetStatistics();
    // See CSerialPort::AbortWrite and ResumeWrites.
    void AbortWrite();
    void ResumeWrites();
    // See CSerialPort::IsHungUp, GetLineDownCount and GetLineDownReason.
    bool IsHungUp() const { return m_port.IsHungUp(); }
    int32_t GetLineDownCount() const { return m_port.GetLineDownCount(); }
    std::string GetLineDownReason() const { return m_port.GetLineDownReason(); }
    // Why the last Open failed, one line for the status bar; empty after a
    // success.
    std::string GetLastOpenError() const;

    int32_t GetReceivedCount() const { return m_receivedCount.GetValue(); }
    int32_t GetDeliveredCount() const { return m_deliveredCount.GetValue(); }
    int32_t GetSentCount() const { return m_sentCount.GetValue(); }

    // The port's callback for each run of bytes read together; `context`
    // is the device.
    static void PortRunCallback(const uint8_t* bytes, size_t count, void* context);

private:
    // Takes the device lock for one run, the uncontended case first; gives
    // up (false) once the port is being closed, because the closing thread
    // may hold the lock while it waits for the port thread.
    bool LockForDelivery();
    // Holding the device lock: the run to the handlers.
    void DeliverRun(const uint8_t* bytes, size_t count);
    std::wstring DescribeRate();

    CSerialPort m_port;
    CInterlockedValue m_receivedCount;
    CInterlockedValue m_deliveredCount;
    CInterlockedValue m_sentCount;
    uint32_t m_nLastSampleTick = 0;
    int32_t m_bFirstSample = 1;
    CInterlockedValue m_receivedAtSample;
    SerialSettings m_settings;
};
