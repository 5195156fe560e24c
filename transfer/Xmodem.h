// CXmodem sends one file with XMODEM on a worker thread of its own.
// User-interface thread: SetOwner, SetMode, LoadFile, Start, Stop, destruction.
// Port thread: OnReply for every received byte; it only sets flags and
// signals the wake-up event. Worker: writes blocks through the owner, waits
// for replies and reports progress. No lock: one event and four flags.
#pragma once

#include "platform/AutoResetEvent.h"
#include "transfer/XmodemBlock.h"
#include "transfer/XmodemOwner.h"

#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <thread>
#include <vector>

class CXmodem {
public:
    static constexpr uint32_t REPLY_TIMEOUT_MS = 3500;
    static constexpr int32_t MAX_NAK_COUNT = 3;
    static constexpr uint8_t PAD_BYTE = 0x1A;
    static constexpr uint32_t STOP_GRACE_MS = 10;
    // In the status bar while the worker waits for the receiver to begin.
    static constexpr const wchar_t* WAITING_FOR_RECEIVER_TEXT = L"XMODEM：正在等待接收方的起始字符…";

    // Tests shorten the reply timeout; the program uses REPLY_TIMEOUT_MS.
    explicit CXmodem(uint32_t replyTimeoutMs = REPLY_TIMEOUT_MS);
    virtual ~CXmodem();
    CXmodem(const CXmodem&) = delete;
    CXmodem& operator=(const CXmodem&) = delete;

    // The owner must be set before the first Start.
    void SetOwner(CXmodemOwner* pOwner);
    // XMODEM_SUM, XMODEM_CRC or XMODEM_1KCRC; other values are ignored.
    // Must precede LoadFile, which pads to the mode's block size.
    void SetMode(int32_t mode);
    // False, after telling the user, when the file can't be read or is too
    // large; the previous image then stays.
    bool LoadFile(const std::wstring& path);
    // Ends a previous worker, then starts one for the loaded image; it waits
    // for the receiver's start byte.
    void Start();
    // Cancels a running transfer; returns within about STOP_GRACE_MS and
    // never waits for the worker, which ends by itself.
    void Stop();
    void OnReply(uint8_t b);

    // Becomes true when the transfer is cancelled: waits for the
    // user-interface thread made on the worker give up on it.
    const std::atomic<bool>& CancelFlag() const { return m_bCancel; }
    bool IsRunning() const { return m_bRunning; }

private:
    // Completed: for a block, the receiver accepted it.
    enum class TransferOutcome { Completed, Cancelled, Failed };

    void WorkerMain();
    // Clears m_bRunning however the transfer ends.
    bool SendFile(const uint8_t* data, int32_t total, int32_t limit);
    // Ends with CAN or EOT written as the outcome needs.
    TransferOutcome SendImage(const uint8_t* data, int32_t total, int32_t limit);
    // Writes the block again after a negative reply or silence, up to limit
    // copies in all.
    TransferOutcome SendBlock(std::span<const uint8_t> block, int32_t limit);
    // True when an ACK answered the block just written, false after a
    // negative reply, the reply timeout or a cancel.
    bool AwaitReply();
    void WriteControl(uint8_t b);
    // Stops the worker, if there is one, and joins it.
    void EndWorker();

    CXmodemOwner* m_pOwner = nullptr;
    std::thread m_thread;
    platform::AutoResetEvent m_event;
    std::atomic<bool> m_bNak { false };
    std::atomic<bool> m_bCancel { false };
    std::atomic<bool> m_bRunning { false };
    std::atomic<bool> m_bStarted { false };
    std::atomic<bool> m_bReplied { false }; // an answer to the block now waiting
    std::atomic<bool> m_bListening { false }; // from Start until the worker ends
    std::vector<uint8_t> m_data;
    int32_t m_nDataLen = 0;
    int32_t m_nBlockSize = 1024;
    int32_t m_nCheckLen = 2;
    std::atomic<int32_t> m_nMode { XMODEM_1KCRC }; // also read by OnReply
    const uint32_t m_nReplyTimeoutMs;
};
