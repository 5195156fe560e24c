// One serial port: opens and configures the device, runs the port thread
// that hands every arriving byte up in order (one call per read, or one per
// byte), and writes byte blocks. When the line goes down the port thread
// says so in the status bar, waits for the same device and reopens it with
// the same settings. The owner (UI thread) opens, closes and sets the
// callback; any thread writes; OnReceiveByte and the callbacks run on the
// port thread.
#pragma once

#include "device/CriticalSection.h"
#include "device/InterlockedValue.h"
#include "device/LineState.h"
#include "device/OpenFailure.h"
#include "device/PortHandle.h"
#include "device/SerialSettings.h"
#include "platform/UniqueFd.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// Nothing here kills a thread: Close asks the port thread to stop, and
// whatever the callback waits for must watch IsStopRequested(), so the
// thread always ends by itself. Close must not be called from the callback.
class CSerialPort {
public:
    using ReceiveCallback = void (*)(uint8_t byte, void* context);
    // The bytes of one read, in one call. A receiver that may wait inside it
    // must watch IsStopRequested() and give up the rest of the run.
    using RunCallback = void (*)(const uint8_t* bytes, size_t count, void* context);

    // Event mask bits for Open: report arriving bytes / the event character.
    static constexpr uint32_t EV_RXCHAR = 0x0001;
    static constexpr uint32_t EV_RXFLAG = 0x0002;

    CSerialPort();
    virtual ~CSerialPort();
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // True at once if already open (nothing is reconfigured). Bytes are read
    // only when the mask holds EV_RXCHAR. On failure the port stays closed;
    // GetLastOpenError() tells why.
    bool Open(const SerialSettings& settings, uint32_t eventMask);
    // Waits for the port thread to end: promptly, as long as a delivery that
    // waits for a lock watches IsStopRequested(). A blocked write gives up.
    // The original line settings are put back. No effect when closed.
    void Close();

    // True when every byte went out. Holds the write lock throughout, so
    // blocks from several threads never interleave. False when the port is
    // closed or closing, the line fails, or it had to wait for room while
    // writes were aborted. A negative count writes nothing and returns false.
    bool Write(const uint8_t* bytes, int32_t count);
    bool Write(const std::vector<uint8_t>& bytes);
    // Until ResumeWrites (or the next Open), no write waits for the line:
    // one waiting gives up at once, and so does any that would have to wait
    // later; bytes that find room still go out. The caller cancelling a
    // write cannot know whether its writer has begun yet, hence the latch.
    void AbortWrite();
    void ResumeWrites();

    // Takes effect from the next block read from the line. Either callback
    // replaces the other: bytes go one call each, or one call per run.
    void SetReceiveCallback(ReceiveCallback function, void* context);
    void SetReceiveCallback(RunCallback function, void* context);

    bool IsOpen() const { return m_openCell.GetFlag() != 0; }
    // True from the moment Close asks the port thread to end until the port
    // is closed: a delivery waiting for a lock must then give up.
    bool IsStopRequested() const { return m_stopCell.GetFlag() != 0; }
    // True from the moment the line was seen gone (hang-up, or an error of
    // poll, read or write) until the device is back or the port is opened
    // again. The port stays open meanwhile: writes are dropped, and the port
    // thread looks for the device every RECONNECT_POLL_MS until Close.
    bool IsHungUp() const { return m_hangUpCell.GetFlag() != 0; }
    // How often the line has gone down since the port was made; never goes
    // back, so a caller can tell that the line went down and came back.
    int32_t GetLineDownCount() const { return m_hangUpCell.GetValue(); }
    // The failing call and its error of the last time the line went down,
    // e.g. "read() failed: Input/output error"; empty if it never did.
    std::string GetLineDownReason() const;

    static constexpr int RECONNECT_POLL_MS = 500;
    // Empty after a successful Open; otherwise one line, e.g.
    // "COM3 (/dev/ttyS2)：设备不存在".
    std::string GetLastOpenError() const;

protected:
    // On the port thread, once per byte when no run callback is registered.
    // The default hands the byte to the registered byte callback, if any. A
    // class that overrides it must call Close() in its own destructor,
    // before its members go.
    virtual void OnReceiveByte(uint8_t byte);

private:
    bool Fail(const SerialSettings& settings, const std::optional<std::string>& path, OpenFailure failure);
    void EventLoop(bool bWatchInput);
    // Marks the line down when the read finds it gone.
    void ReadAndDeliver(int fd, short revents);
    // Records why, once per time the line goes down, and tells the user.
    void MarkLineDown(const char* call, int error);
    // Port thread: lets the dead device go and waits until it is back or
    // the port is being closed.
    void WaitForDevice();
    // True when the device is there again and was opened as before.
    bool Reopen();
    bool WriteAll(const uint8_t* bytes, size_t count);
    // Waits until the driver's output queue is empty; false when the write
    // must give up.
    bool WaitUntilSent(int fd);
    // Waits on the line (if `events`) and the stop and abort events; false
    // when the write must give up.
    bool WaitForWriter(int fd, short events, int timeoutMs);

    CInterlockedValue m_openCell;  // flag: 1 while open
    CInterlockedValue m_stopCell;  // flag: 1 while Close stops the port thread
    CInterlockedValue m_abortCell; // flag: 1 from AbortWrite to ResumeWrites
    CInterlockedValue m_hangUpCell; // flag: 1 while the line is down; value: times it went down
    mutable std::mutex m_lineMutex;  // guards the flag's changes and the reason
    std::string m_strLineDown;

    struct Callbacks {
        ReceiveCallback pfnByte = nullptr;
        RunCallback pfnRun = nullptr;
        void* pContext = nullptr;
    };
    CCriticalSectionEx m_csCallback; // guards m_callbacks
    Callbacks m_callbacks;
    // The port thread's copy, taken once per block read.
    Callbacks m_delivering;

    // Held for each whole write; Open and Close take it to change the handle.
    CCriticalSectionEx m_csWrite;
    PortHandle m_handle;
    uint32_t m_nBaudRate = 0;
    // What Open used, for the status texts and the reopen; set under the
    // write lock before the port thread starts.
    std::string m_strPortName;
    std::string m_strPath;
    LineState m_line;

    // Serialises Open and Close and guards the thread and the last failure.
    mutable CCriticalSectionEx m_csThread;
    std::thread m_thread;
    std::string m_strLastOpenError;

    // Created once for the life of the port; a failure shows at Open.
    UniqueFd m_stopEvent;
    UniqueFd m_abortEvent;
    int m_nEventError = 0;
};
