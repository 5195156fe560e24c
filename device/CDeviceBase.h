// The interface through which the document talks to a communication device:
// identity texts, capability queries, writes and a per-byte receive handler.
// The owner (UI thread) sets texts and handler; any thread writes; the
// device's reading thread calls the handler under the device lock.
#pragma once

#include "device/CriticalSection.h"
#include "device/InterlockedValue.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using ReceiveHandler = void (*)(uint8_t byte, void* context);
// The bytes of one run read together, for the handler's context.
using RunHandler = void (*)(const uint8_t* bytes, size_t count, void* context);

// Every member is guarded by the re-entrant device lock except the busy
// cell. Lock order: the device lock, then whatever lock the handler takes.
class CDeviceBase {
public:
    CDeviceBase() = default;
    virtual ~CDeviceBase() = default;
    CDeviceBase(const CDeviceBase&) = delete;
    CDeviceBase& operator=(const CDeviceBase&) = delete;

    // Takes the device lock; there is nothing to store or load.
    virtual void Serialize();
    virtual bool CanOpen() const { return true; }
    virtual bool CanReceive() const { return true; }
    virtual bool CanSend() const { return true; }
    // Whether the device must be polled for input (see Poll).
    virtual bool NeedsPolling() const { return false; }
    // True while a receive handler is attached.
    virtual bool IsConnected() const;
    virtual bool IsOpen() const { return false; }
    virtual void SetAddress(const std::wstring& address);
    virtual std::wstring GetAddress() const;
    virtual void SetRemark(const std::wstring& remark);
    virtual std::wstring GetRemark() const;
    virtual std::wstring GetName() const;
    virtual void SetName(const std::wstring& name);
    virtual bool CanConfigure() const { return true; }
    virtual bool CanDescribe() const { return true; }
    // Three ways to attach the handler; they differ only in the kind they
    // record (2, 1, 0), which nothing reads.
    virtual void SetAuxiliaryReceiveHandler(ReceiveHandler function, void* context);
    virtual void SetAlternateReceiveHandler(ReceiveHandler function, void* context);
    virtual void SetReceiveHandler(ReceiveHandler function, void* context);
    // Optional, attached before the receive handler, with the same context:
    // while both are attached, each run of bytes read together goes to it
    // in one call under the device lock instead of to the receive handler
    // byte by byte, so a handler takes its own locks once per run. It must
    // treat the bytes exactly as the receive handler would, in order.
    virtual void SetRunHandler(RunHandler function);
    // Detaches the handler and the run handler; the recorded kind stays.
    virtual void ClearReceiveHandler();
    virtual ReceiveHandler GetReceiveHandler() const;
    virtual void* GetReceiveContext() const;
    // For devices that must be polled; a device with its own reading thread
    // has nothing to do.
    virtual void Poll() {}
    // True when the bytes were handed to an open device. The base device
    // cannot send.
    virtual bool Write(const uint8_t* bytes, int32_t count);
    virtual bool Write(const std::wstring& text);
    virtual bool Write(const std::vector<uint8_t>& bytes);

    // True while received bytes are being delivered.
    bool IsDelivering() const { return m_busyCell.GetValue() != 0; }

protected:
    enum HandlerKind : int32_t { HANDLER_PLAIN = 0, HANDLER_ALTERNATE = 1, HANDLER_AUXILIARY = 2 };

    void AttachHandler(ReceiveHandler function, void* context, HandlerKind kind);

    mutable CCriticalSectionEx m_csDevice;
    CInterlockedValue m_busyCell; // value 1 while received bytes are delivered
    std::wstring m_strName;
    std::wstring m_strAddress;
    std::wstring m_strRemark;
    void* m_pHandlerContext = nullptr;
    ReceiveHandler m_pfnHandler = nullptr;
    RunHandler m_pfnRunHandler = nullptr;
    int32_t m_nHandlerKind = HANDLER_PLAIN;
};
