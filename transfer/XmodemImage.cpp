#include "transfer/XmodemImage.h"

#include "platform/RegularFile.h"
#include "platform/Utf8.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>
#include <optional>

namespace {

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
    const std::optional<std::string> name = PathFromWide(path);
    if (!name)
        return image;
    int error = 0;
    const UniqueFd file = OpenRegularFile(*name, O_RDONLY, error);
    struct stat info {};
    if (!file.IsValid() || fstat(file.Get(), &info) != 0)
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
