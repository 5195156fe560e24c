// Wide text to UTF-8, for device paths and English diagnostics.
// Pure: any thread.
#pragma once

#include <string>
#include <string_view>

// A code point that is not a Unicode scalar value becomes U+FFFD.
std::string Utf8FromWide(std::wstring_view text);
