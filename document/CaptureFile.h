// The capture file. CCaptureFile keeps the file open between batches so a
// fast line does not cost an open and a close per batch; AppendToFile and
// CreateEmptyFile are the one-shot routines (open, work, close). Other
// programs may read and write the file meanwhile. A CCaptureFile belongs to
// one thread at a time (the document guards it); the routines: any thread.
#pragma once

#include <cstdint>
#include <string>

class CCaptureFile {
public:
    CCaptureFile() = default;
    ~CCaptureFile();
    CCaptureFile(const CCaptureFile&) = delete;
    CCaptureFile& operator=(const CCaptureFile&) = delete;

    // Appends at the end of path, creating it if missing. A failed open or
    // write drops these bytes and leaves the file closed, so the next call
    // tries afresh.
    bool Append(const std::wstring& path, const uint8_t* data, int32_t length);
    void Close();

private:
    bool IsUnlinked() const;

    int m_fd = -1;
    std::wstring m_path;
};

// 1 or 0.
int AppendToFile(const std::wstring& path, const uint8_t* data, int32_t length);
// Creates the file or cuts it to zero length. 1 or 0.
int CreateEmptyFile(const std::wstring& path);
