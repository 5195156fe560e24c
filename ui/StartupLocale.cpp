#include "ui/StartupLocale.h"

#include <clocale>
#include <cstring>

std::string UseLocaleFromEnvironment()
{
    std::string warning;
    if (std::setlocale(LC_ALL, "") == nullptr) {
        // glibc leaves the C locale when one category names a locale that
        // is not generated.
        warning = "taliard: the locale named in the environment is not installed (generate it with "
                  "locale-gen or localedef); received text is decoded as UTF-8";
    }
    // Only text follows the user; decimal points in anything we format or
    // parse stay '.'.
    std::setlocale(LC_NUMERIC, "C");
    const char* ctype = std::setlocale(LC_CTYPE, nullptr);
    if (ctype == nullptr || std::strcmp(ctype, "C") == 0 || std::strcmp(ctype, "POSIX") == 0)
        std::setlocale(LC_CTYPE, "C.UTF-8");
    return warning;
}
