// Checks that a locale the tests switch to is installed, and says how to
// generate it when it is not. Any thread.
#pragma once

#include <clocale>
#include <locale.h>

#include <string>

namespace testsupport {

// Empty when `name` (for example "zh_CN.GB18030") can be used; otherwise a
// failure message naming the command that generates it.
inline std::string MissingLocale(const std::string& name)
{
    if (locale_t probe = ::newlocale(LC_ALL_MASK, name.c_str(), locale_t {})) {
        ::freelocale(probe);
        return std::string();
    }
    const size_t dot = name.find('.');
    return "the locale " + name + " is missing: generate it with `localedef -i " + name.substr(0, dot) + " -f " +
        name.substr(dot + 1) + " " + name + "` (Debian package locales; tools/test.sh does this)";
}

} // namespace testsupport
