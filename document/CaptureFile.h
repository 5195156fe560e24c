// The two small file routines of the capture file. Each opens, works and
// closes within the call; other programs may read and write the file too.
// Any thread.
#pragma once

#include <cstdint>
#include <string>

// Appends length bytes at the end, creating the file if missing. 1 or 0.
int AppendToFile(const std::wstring& path, const uint8_t* data, int32_t length);
// Creates the file or cuts it to zero length. 1 or 0.
int CreateEmptyFile(const std::wstring& path);

// The wide path as the file system wants it (the locale's multibyte form).
std::string NativePath(const std::wstring& path);
