#include "tests/ui/support/ChildRun.h"

#include <unistd.h>

#include <cstdio>

namespace testsupport {

int RunThisProgram(const std::string& environment, const std::string& filter, std::string& output)
{
    char self[4096] = {};
    if (::readlink("/proc/self/exe", self, sizeof self - 1) <= 0)
        return -1;
    const std::string command = environment + " '" + self + "' --gtest_filter='" +
        filter + "' 2>&1";
    FILE* child = ::popen(command.c_str(), "r");
    if (child == nullptr)
        return -1;
    output.clear();
    char chunk[4096];
    while (const size_t got = std::fread(chunk, 1, sizeof chunk, child))
        output.append(chunk, got);
    return ::pclose(child);
}

} // namespace testsupport
