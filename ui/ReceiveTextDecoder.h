// Turns the received bytes into the text the pane shows, in the locale's
// multibyte encoding (LC_CTYPE). An invalid sequence becomes U+FFFD and
// decoding goes on, so one stray byte never blanks the pane. Pure; any
// thread, but it reads the process locale.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

inline constexpr wchar_t REPLACEMENT_CHARACTER = L'\uFFFD';

// Every byte is decoded in order. Zero bytes are left out (the document never
// keeps them, and the pane cannot hold them). A sequence cut off by the end
// of the data shows as one U+FFFD until the rest arrives.
std::wstring DecodeReceivedText(const uint8_t* data, size_t length);

// Where decoding can be taken up again: the bytes used and the characters
// made up to the last point at which the decoder was back in its initial
// state. What follows (an unfinished character) may decode differently once
// more bytes arrive; what precedes it never does.
struct DecodeResumePoint {
    size_t bytes = 0;
    size_t characters = 0;
};

// Appends the text of the bytes to `text`, exactly as DecodeReceivedText
// would make it, and returns the resume point, counted from `data` and from
// the size `text` had on entry.
DecodeResumePoint AppendReceivedText(std::wstring& text, const uint8_t* data, size_t length);
