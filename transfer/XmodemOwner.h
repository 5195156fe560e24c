// What the XMODEM sender needs from its owner (the document): the line and
// the progress display. Every call comes from the sender's worker thread,
// except AbortWrites and ResumeWrites, which may also come from the
// user-interface thread.
#pragma once

#include <cstdint>

class CXmodemOwner {
public:
    virtual ~CXmodemOwner() = default;

    // Dropped when not connected; the sender learns nothing of the outcome.
    virtual void WriteBytes(const uint8_t* data, int32_t length) = 0;
    // The owner stores the fraction in its m_fProgress and passes it on.
    // These three may wait for the user-interface thread, but must give up
    // once the sender's CancelFlag() becomes true.
    virtual void OnSendProgress(float fraction) = 0;
    virtual void OnSendComplete() = 0;
    virtual void OnSendFailed() = 0;
    // Makes a WriteBytes that is waiting for room on the line give up at
    // once, and likewise one that starts waiting later in this transfer
    // (the worker may be just about to write). Writes that find room still
    // go out. ResumeWrites lifts it; the sender calls it as the transfer's
    // worker ends, so no later write is cut short.
    virtual void AbortWrites() = 0;
    virtual void ResumeWrites() = 0;
    // True when the line is gone (hung up, or no longer connected): the
    // sender must not take the silence of a dead line for acceptance.
    virtual bool IsLineDown() = 0;
};
