// Wide text (UTF-32 on Linux) to UTF-8 and back, for device and file paths
// and for English diagnostics. Pure: any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// A code point that is not a Unicode scalar value becomes U+FFFD.
std::string Utf8FromWide(std::wstring_view text);
// For a file name: a NUL or a non-scalar value gives no path at all rather
// than silently naming another file.
std::optional<std::string> PathFromWide(std::wstring_view path);
// A byte that does not belong to a valid sequence becomes U+FFFD.
std::wstring WideFromUtf8(std::string_view text);
