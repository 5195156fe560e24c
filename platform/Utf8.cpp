#include "platform/Utf8.h"

#include <cstdint>

namespace {

bool IsScalar(uint32_t code)
{
    return code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
}

void AppendUtf8(std::string& out, uint32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

} // namespace

std::string Utf8FromWide(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const wchar_t c : text) {
        const auto code = static_cast<uint32_t>(c);
        AppendUtf8(out, IsScalar(code) ? code : 0xFFFD);
    }
    return out;
}

std::optional<std::string> PathFromWide(std::wstring_view path)
{
    std::string out;
    out.reserve(path.size());
    for (const wchar_t c : path) {
        const auto code = static_cast<uint32_t>(c);
        if (code == 0 || !IsScalar(code))
            return std::nullopt;
        AppendUtf8(out, code);
    }
    return out;
}
