#include "transfer/XmodemImage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>
#include <optional>

namespace {

class ScopedFd {
public:
    explicit ScopedFd(int fd) : m_fd(fd) { }
    ~ScopedFd()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    ScopedFd(const ScopedFd&) = delete;
    ScopedFd& operator=(const ScopedFd&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

// wchar_t is UTF-32 on Linux; a value that is no Unicode scalar makes the
// path unusable rather than silently naming another file.
std::optional<std::string> ToUtf8(const std::wstring& text)
{
    std::string out;
    out.reserve(text.size());
    for (wchar_t wc : text) {
        const auto c = static_cast<uint32_t>(wc);
        if (c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return std::nullopt;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

bool ReadFully(int fd, uint8_t* into, std::size_t length)
{
    while (length > 0) {
        const ssize_t n = read(fd, into, length);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) // an error, or the file shrank since it was measured
            return false;
        into += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

XmodemImage LoadXmodemImage(const std::wstring& path, int32_t blockSize, uint8_t padByte)
{
    XmodemImage image;
    const std::optional<std::string> name = ToUtf8(path);
    if (!name)
        return image;
    const ScopedFd file(open(name->c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (file.Get() < 0 || fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode))
        return image;

    const int64_t length = info.st_size;
    const int64_t padded = (length + blockSize - 1) / blockSize * blockSize;
    if (padded > std::numeric_limits<int32_t>::max()) {
        image.result = ImageLoadResult::TooLarge;
        return image;
    }
    image.data.assign(static_cast<std::size_t>(padded), padByte);
    if (!ReadFully(file.Get(), image.data.data(), static_cast<std::size_t>(length)))
        return XmodemImage {};
    image.result = ImageLoadResult::Loaded;
    return image;
}
