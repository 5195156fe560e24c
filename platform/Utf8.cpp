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

std::wstring WideFromUtf8(std::string_view text)
{
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<uint8_t>(text[i]);
        const size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        uint32_t code = length == 1 ? lead : length == 0 ? 0 : lead & (0x7F >> length);
        size_t used = 1;
        while (used < length && i + used < text.size() && (static_cast<uint8_t>(text[i + used]) & 0xC0) == 0x80)
            code = (code << 6) | (static_cast<uint8_t>(text[i + used++]) & 0x3F);
        // Overlong forms are refused like any other bad sequence.
        constexpr uint32_t SMALLEST[] = { 0, 0, 0x80, 0x800, 0x10000 };
        const bool valid = length != 0 && used == length && code >= SMALLEST[length] && IsScalar(code);
        out += valid ? static_cast<wchar_t>(code) : L'\uFFFD';
        i += valid ? length : 1;
    }
    return out;
}
