// The one document: owns the serial device and the XMODEM sender, holds the
// settings for the next connect, the recent received bytes for the view and
// the capture batch, and routes every byte in and out.
//
// UI thread: Connect, Disconnect, SendText, the capture and file-send calls,
// the framework hooks, the view's copies. Port thread: ReceiveCallback,
// RunCallback and the receive pipeline. Sender's worker: WriteBytes and
// the three progress hooks.
// Lock order: device lock, then m_receiveLock, then m_captureLock; neither
// document lock is held while calling into the device.
#pragma once

#include "device/CDeviceSerial.h"
#include "document/CaptureFile.h"
#include "device/CriticalSection.h"
#include "device/SerialSettings.h"
#include "document/ProgressSink.h"
#include "document/ReceiveSlice.h"
#include "document/RefreshSchedule.h"
#include "transfer/Xmodem.h"
#include "transfer/XmodemOwner.h"

#include <wx/docview.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

class CTaliardDoc : public wxDocument, public CXmodemOwner {
public:
    static constexpr size_t RECEIVE_BUFFER_MAX = 20480;
    static constexpr size_t RECEIVE_BUFFER_TRIM = 10240;
    static constexpr int32_t CAPTURE_BATCH_SIZE = 1024;
    static constexpr int32_t CAPTURE_FLUSH_LEVEL = 128;

    CTaliardDoc();
    ~CTaliardDoc() override;

    // Framework hooks.
    bool OnNewDocument() override;
    bool OnCloseDocument() override;

    int Connect();
    void Disconnect();
    // One character to one byte; a character above U+00FF sends nothing.
    void SendText(const std::wstring& text);
    void WriteBytes(const uint8_t* data, int32_t length) override;
    void StartFileSend(int mode);
    void CancelFileSend();

    // Capture: switching it off, or changing the file, first writes what
    // the batch still holds, so no received byte is lost.
    void SetCapture(bool on);
    bool IsCapturing() const { return m_bCapture.load(); }
    void SetCapturePath(const std::wstring& path);
    std::wstring GetCapturePath() const;
    // Empties the batch (done by the bar after a successful connect).
    void ResetCaptureBatch();

    void SetProgressSink(CProgressSink* sink) { m_pProgressSink.store(sink); }
    bool IsConnected() const { return m_bConnected.load(); }
    // Connected, but the line is down and the device not back yet.
    bool IsWaitingForDevice() const { return m_bConnected.load() && m_device.IsHungUp(); }
    // Why the last Connect failed, one line, for the status bar.
    std::string GetLastConnectError() const { return m_device.GetLastOpenError(); }
    // Why the line last went down while connected (the call and its error).
    std::string GetLastLineDownReason() const { return m_device.GetLineDownReason(); }

    // For the view, under m_receiveLock: the bytes from number `from` on,
    // when the buffer still starts at byte `first` and holds byte `from`
    // (what is new to a reader that has all before it); otherwise the whole
    // buffer. The buffer holds the bytes numbered [total - size, total) of
    // all bytes ever kept.
    void CopyReceived(uint64_t first, uint64_t from, ReceiveSlice& slice) const;
    CRefreshSchedule& RefreshSchedule() { return m_refresh; }

    // The device's byte and run handlers (port thread). The device hands
    // each run of bytes read together to the run handler in one call.
    static void ReceiveCallback(uint8_t byte, void* context);
    static void RunCallback(const uint8_t* bytes, size_t count, void* context);
    void HandleReceivedByte(uint8_t byte);
    void HandleReceivedRun(const uint8_t* bytes, size_t count);

    // Sender hooks (worker thread).
    void OnSendProgress(float fraction) override;
    void OnSendComplete() override;
    void OnSendFailed() override;
    void AbortWrites() override;
    void ResumeWrites() override;
    bool IsLineDown() override;

    SerialSettings m_settings;
    std::wstring m_sendPath;
    std::atomic<float> m_fProgress { 0.0f };

private:
    // With m_receiveLock and then m_captureLock held: moves the batch out to
    // be written and empties it.
    void TakeCaptureBatch();
    // With m_captureLock held: writes what TakeCaptureBatch moved out, when
    // capture is on.
    void WriteTakenBatch();
    // With m_captureLock held: the status bar says why capture loses bytes,
    // from the first failed batch until one succeeds or capture stops.
    void ReportCaptureFailure(uint64_t dropped);
    void EndCaptureFailure();
    // With m_receiveLock held: appends bytes to the buffer and the capture
    // batch up to a full batch; returns how many it took.
    size_t AppendReceived(const uint8_t* bytes, size_t count);
    // Writes out the batch; returns holding m_captureLock.
    std::unique_lock<std::mutex> FlushCaptureBatch();
    void ReportProgress(float fraction);

    CDeviceSerial m_device;
    std::atomic<bool> m_bConnected { false };
    std::atomic<CProgressSink*> m_pProgressSink { nullptr };
    // The line's down count when the transfer started: a line that went
    // down and came back since then fails the transfer all the same.
    std::atomic<int32_t> m_nLineDownsAtSendStart { 0 };
    std::atomic<bool> m_bCapture { false };

    // The receive buffer and the capture batch: appended to by the port
    // thread, copied by the view, emptied by the UI thread. One lock for
    // both, taken by the port thread once per run of bytes.
    mutable CCriticalSectionEx m_receiveLock;
    std::vector<uint8_t> m_receiveBuffer;
    uint64_t m_nReceiveTotal = 0;
    std::array<uint8_t, CAPTURE_BATCH_SIZE> m_captureBatch {};
    int32_t m_nCaptureLen = 0;

    // The file and what goes into it. Taken inside m_receiveLock when a batch
    // is moved out and kept while it is written, so batches reach the file
    // in order and the file is never written under m_receiveLock.
    mutable std::mutex m_captureLock;
    std::array<uint8_t, CAPTURE_BATCH_SIZE> m_takenBatch {};
    int32_t m_nTakenLen = 0;
    std::wstring m_capturePath;
    CCaptureFile m_captureFile;
    uint64_t m_nCaptureDropped = 0; // since the first of the failing batches

    CRefreshSchedule m_refresh;
    CXmodem m_xmodem;

    wxDECLARE_DYNAMIC_CLASS(CTaliardDoc);
};
