// Reads the file to send into memory, padded with 0x1A to whole blocks.
// Nothing is allocated for a file that is refused. Any thread; the sender
// calls it on the user-interface thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class ImageLoadResult {
    Loaded,
    Unreadable, // missing, not a regular file, or a read failed
    TooLarge,   // the padded image would not fit a 32-bit signed length
};

struct XmodemImage {
    ImageLoadResult result = ImageLoadResult::Unreadable;
    std::vector<uint8_t> data; // empty unless Loaded
};

// path is a wide string as the user interface holds it; it is handed to the
// file system as UTF-8.
XmodemImage LoadXmodemImage(const std::wstring& path, int32_t blockSize, uint8_t padByte);
