#include "document/CaptureFile.h"

#include "platform/RegularFile.h"
#include "platform/Utf8.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

bool CCaptureFile::Append(const std::wstring& path, const uint8_t* data, int32_t length)
{
    if (m_fd.IsValid() && (path != m_path || IsUnlinked()))
        Close();
    if (!m_fd.IsValid()) {
        const auto name = PathFromWide(path);
        if (!name)
            return Fail(EINVAL);
        int error = 0;
        m_fd = OpenRegularFile(*name, O_WRONLY | O_CREAT | O_APPEND, error);
        if (!m_fd.IsValid())
            return Fail(error);
        m_path = path;
    }
    while (length > 0) {
        const ssize_t n = write(m_fd.Get(), data, static_cast<size_t>(length));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // Disk full, file gone bad: drop this batch and reopen for the next.
            const int error = n < 0 ? errno : ENOSPC;
            Close();
            return Fail(error);
        }
        data += n;
        length -= static_cast<int32_t>(n);
    }
    return true;
}

bool CCaptureFile::Fail(int error)
{
    m_nLastError = error;
    return false;
}

// Someone deleted the file under us: write to a new one by that name rather
// than into a file nobody can see. Only the link count is asked for: a stat
// that reads the change time makes the kernel stamp the next write with a
// fine-grained time, and that doubled the cost of every batch.
bool CCaptureFile::IsUnlinked() const
{
    struct statx info {};
    return statx(m_fd.Get(), "", AT_EMPTY_PATH, STATX_NLINK, &info) != 0 || (info.stx_mask & STATX_NLINK) == 0
        || info.stx_nlink == 0;
}

void CCaptureFile::Close()
{
    m_fd.Reset();
    m_path.clear();
}

int AppendToFile(const std::wstring& path, const uint8_t* data, int32_t length)
{
    CCaptureFile file;
    return file.Append(path, data, length) ? 1 : 0;
}

int CreateEmptyFile(const std::wstring& path)
{
    const auto name = PathFromWide(path);
    int error = 0;
    return name && OpenRegularFile(*name, O_RDWR | O_CREAT | O_TRUNC, error).IsValid() ? 1 : 0;
}
