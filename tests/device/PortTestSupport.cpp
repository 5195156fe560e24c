#include "tests/device/PortTestSupport.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace devicetest {

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

SerialSettings PtySettings(const testsupport::PtyPair& pty, const std::wstring& baud, const std::wstring& parity,
                           const std::wstring& dataBits, const std::wstring& stopBits)
{
    return { Wide(pty.SlavePath()), baud, parity, dataBits, stopBits };
}

int CountOpenFds()
{
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

std::optional<pid_t> FindThread(const std::string& name)
{
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(entry.path() / "comm");
        std::string threadName;
        std::getline(comm, threadName);
        if (threadName == name)
            return static_cast<pid_t>(std::stol(entry.path().filename().string()));
    }
    return std::nullopt;
}

uint64_t ThreadCpuTicks(pid_t tid)
{
    std::ifstream statFile("/proc/self/task/" + std::to_string(tid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
    // The name in parentheses may hold blanks; fields are counted after it.
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    uint64_t utime = 0;
    uint64_t stime = 0;
    // After the name: state is field 3, utime field 14, stime field 15.
    for (int number = 3; number <= 15 && fields >> field; ++number) {
        if (number == 14)
            utime = std::stoull(field);
        if (number == 15)
            stime = std::stoull(field);
    }
    return utime + stime;
}

} // namespace devicetest
