#include "document/CaptureFile.h"

#include "platform/Utf8.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

CCaptureFile::~CCaptureFile()
{
    Close();
}

bool CCaptureFile::Append(const std::wstring& path, const uint8_t* data, int32_t length)
{
    if (m_fd >= 0 && (path != m_path || IsUnlinked()))
        Close();
    if (m_fd < 0) {
        const auto name = PathFromWide(path);
        m_fd = name ? open(name->c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666) : -1;
        if (m_fd < 0)
            return false;
        m_path = path;
    }
    while (length > 0) {
        const ssize_t n = write(m_fd, data, static_cast<size_t>(length));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // Disk full, file gone bad: drop this batch and reopen for the next.
            Close();
            return false;
        }
        data += n;
        length -= static_cast<int32_t>(n);
    }
    return true;
}

// Someone deleted the file under us: write to a new one by that name rather
// than into a file nobody can see. Only the link count is asked for: a stat
// that reads the change time makes the kernel stamp the next write with a
// fine-grained time, and that doubled the cost of every batch.
bool CCaptureFile::IsUnlinked() const
{
    struct statx info {};
    return statx(m_fd, "", AT_EMPTY_PATH, STATX_NLINK, &info) != 0 || (info.stx_mask & STATX_NLINK) == 0
        || info.stx_nlink == 0;
}

void CCaptureFile::Close()
{
    if (m_fd >= 0)
        close(m_fd);
    m_fd = -1;
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
    const int fd = name ? open(name->c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666) : -1;
    if (fd < 0)
        return 0;
    close(fd);
    return 1;
}
