// Switches LC_CTYPE to C.UTF-8 for the life of a test and puts the previous
// locale back: the received-text decoder follows LC_CTYPE, and the decoding
// tests are written for UTF-8. Test thread only.
#pragma once

#include <clocale>
#include <string>

namespace testsupport {

class ScopedUtf8Locale {
public:
    ScopedUtf8Locale()
    {
        const char* previous = std::setlocale(LC_CTYPE, nullptr);
        m_previous = previous ? previous : "C";
        m_bActive = std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr;
    }
    ~ScopedUtf8Locale() { std::setlocale(LC_CTYPE, m_previous.c_str()); }
    ScopedUtf8Locale(const ScopedUtf8Locale&) = delete;
    ScopedUtf8Locale& operator=(const ScopedUtf8Locale&) = delete;

    // False when the locale is missing (Debian package libc-bin).
    bool IsActive() const { return m_bActive; }

private:
    std::string m_previous;
    bool m_bActive = false;
};

} // namespace testsupport
