#include "platform/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

UniqueFd OpenRegularFile(const std::string& path, int flags, int& error)
{
    // The type first, so that a device is never opened (that alone can
    // change its lines); the check after the open covers a swap meanwhile.
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        error = NOT_A_REGULAR_FILE;
        return UniqueFd();
    }
    UniqueFd file(open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666));
    if (!file.IsValid()) {
        error = errno;
        return file;
    }
    if (fstat(file.Get(), &info) != 0) {
        error = errno;
        return UniqueFd();
    }
    if (!S_ISREG(info.st_mode)) {
        error = NOT_A_REGULAR_FILE;
        return UniqueFd();
    }
    error = 0;
    return file;
}
