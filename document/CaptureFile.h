// The capture file. CCaptureFile keeps the file open between batches so a
// fast line does not cost an open and a close per batch; AppendToFile and
// CreateEmptyFile are the one-shot routines (open, work, close). Other
// programs may read and write the file meanwhile. A CCaptureFile belongs to
// one thread at a time (the document guards it); the routines: any thread.
#pragma once

#include "platform/UniqueFd.h"

#include <cstdint>
#include <string>

class CCaptureFile {
public:
    // Appends at the end of path, creating it if missing. A failed open or
    // write drops these bytes and leaves the file closed, so the next call
    // tries afresh; LastError() then tells why. Anything but a regular file
    // is refused, without waiting for a FIFO's reader.
    bool Append(const std::wstring& path, const uint8_t* data, int32_t length);
    void Close();
    // errno of the last failed Append, or NOT_A_REGULAR_FILE.
    int LastError() const { return m_nLastError; }

private:
    bool Fail(int error);
    bool IsUnlinked() const;

    UniqueFd m_fd;
    std::wstring m_path;
    int m_nLastError = 0;
};

// 1 or 0.
int AppendToFile(const std::wstring& path, const uint8_t* data, int32_t length);
// Creates the file or cuts it to zero length; refuses anything but a
// regular file. 1 or 0.
int CreateEmptyFile(const std::wstring& path);
