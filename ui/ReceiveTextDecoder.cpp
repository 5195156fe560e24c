#include "ui/ReceiveTextDecoder.h"

#include <cstring>
#include <cwchar>

#include <langinfo.h>

std::wstring DecodeReceivedText(const uint8_t* data, size_t length)
{
    std::wstring text;
    AppendReceivedText(text, data, length);
    return text;
}

DecodeResumePoint AppendReceivedText(std::wstring& text, const uint8_t* data, size_t length)
{
    const size_t start = text.size();
    text.reserve(start + length);
    DecodeResumePoint resume;
    std::mbstate_t state {};
    // In UTF-8 a byte below 0x80 is always a whole character and itself: the
    // C library's call per byte was the larger part of a chatty board's
    // decoding.
    const bool bUtf8 = std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
    size_t pos = 0;
    while (pos < length) {
        if (std::mbsinit(&state))
            resume = { pos, text.size() - start };
        if (data[pos] == 0) {
            state = std::mbstate_t {};
            ++pos;
            continue;
        }
        if (bUtf8 && data[pos] < 0x80) {
            size_t end = pos + 1;
            while (end < length && data[end] != 0 && data[end] < 0x80)
                ++end;
            text.append(data + pos, data + end);
            pos = end;
            continue;
        }
        wchar_t ch = 0;
        const size_t used = std::mbrtowc(&ch, reinterpret_cast<const char*>(data + pos), length - pos, &state);
        if (used == static_cast<size_t>(-2)) {
            // The bytes left start a character but do not finish it.
            text.push_back(REPLACEMENT_CHARACTER);
            break;
        }
        if (used == static_cast<size_t>(-1)) {
            // Skip one byte and start afresh: the next byte may begin a
            // valid character.
            text.push_back(REPLACEMENT_CHARACTER);
            state = std::mbstate_t {};
            ++pos;
            continue;
        }
        // used == 0 cannot happen here: the byte at pos is not zero.
        text.push_back(ch);
        pos += used;
    }
    if (pos == length && std::mbsinit(&state))
        resume = { pos, text.size() - start };
    return resume;
}
