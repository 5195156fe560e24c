// Receiver of file-transfer progress (the configuration bar). The document
// calls SetProgress on the UI thread only, in the order the sender reports.
#pragma once

class CProgressSink {
public:
    virtual ~CProgressSink() = default;
    virtual void SetProgress(float fraction) = 0;
};
