// Test stand-ins for the document around a CXmodem: PtyXmodemOwner writes
// to the slave side of a pty pair and records the progress hooks;
// PtyReplyReader reads the slave side and feeds every byte to OnReply on a
// thread of its own, as the port thread does. The test plays the receiver
// on the master. Declare the owner before the sender and the reader after
// it, so that the reader stops first and the owner outlives the worker.
#pragma once

#include "transfer/Xmodem.h"
#include "transfer/XmodemOwner.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace transfertest {

class PtyXmodemOwner : public CXmodemOwner {
public:
    explicit PtyXmodemOwner(const std::string& slavePath);
    ~PtyXmodemOwner() override;
    PtyXmodemOwner(const PtyXmodemOwner&) = delete;
    PtyXmodemOwner& operator=(const PtyXmodemOwner&) = delete;

    // The progress hooks wait for the user-interface thread with this flag,
    // as the document does. Set before the first Start.
    void SetCancelFlag(const std::atomic<bool>& cancel) { m_pCancel = &cancel; }

    void WriteBytes(const uint8_t* data, int32_t length) override;
    void OnSendProgress(float fraction) override;
    void OnSendComplete() override;
    void OnSendFailed() override;
    void AbortWrites() override;
    void ResumeWrites() override;
    // The pty stands in for a line that never goes down.
    bool IsLineDown() override { return false; }

    // Every value the progress display got: fractions, 1.0 on completion,
    // 0.0 on failure.
    std::vector<float> Progress() const;
    int CompleteCount() const;
    int FailedCount() const;
    // True once completion or failure was reported within timeout.
    bool WaitUntilFinished(std::chrono::milliseconds timeout) const;
    // True once a write had to wait for room within timeout.
    bool WaitUntilWriteBlocked(std::chrono::milliseconds timeout) const;

private:
    void Record(float value, int* counter);

    int m_fd = -1;
    int m_abortFd = -1; // eventfd, readable from AbortWrites to ResumeWrites
    const std::atomic<bool>* m_pCancel = nullptr;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::vector<float> m_progress;
    int m_nComplete = 0;
    int m_nFailed = 0;
    bool m_bWriteBlocked = false;
};

class PtyReplyReader {
public:
    PtyReplyReader(const std::string& slavePath, CXmodem& xmodem);
    ~PtyReplyReader();
    PtyReplyReader(const PtyReplyReader&) = delete;
    PtyReplyReader& operator=(const PtyReplyReader&) = delete;

private:
    void Run();

    CXmodem& m_xmodem;
    int m_fd = -1;
    int m_stopFd = -1;
    std::thread m_thread;
};

} // namespace transfertest
