// Opens a file that must be a regular one without ever blocking: a FIFO
// with nobody at the other end, or a device, would hold the caller in
// open() (for capture, the port thread; for a file to send, the UI).
// Any thread.
#pragma once

#include "platform/UniqueFd.h"

#include <string>

// The error of a path that names something other than a regular file.
inline constexpr int NOT_A_REGULAR_FILE = -1;

// open(path, flags, 0666) with O_NONBLOCK, O_NOCTTY and O_CLOEXEC added,
// refused unless the path is missing (and flags create it) or names a
// regular file. On failure the descriptor is not valid and error holds
// errno or NOT_A_REGULAR_FILE.
UniqueFd OpenRegularFile(const std::string& path, int flags, int& error);
