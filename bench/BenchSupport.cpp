#include "bench/BenchSupport.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace bench {

double CpuSecondsSelf()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double CpuSecondsOf(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(in, line))
        return 0;
    // The command name may hold spaces; the fields after it are fixed.
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string field;
    unsigned long long utime = 0;
    unsigned long long stime = 0;
    for (int k = 3; k <= 15 && fields >> field; ++k) {
        if (k == 14)
            utime = std::stoull(field);
        if (k == 15)
            stime = std::stoull(field);
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double RssAnonMiB(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    while (in >> key) {
        if (key == "RssAnon:") {
            double kib = 0;
            in >> kib;
            return kib / 1024.0;
        }
        in.ignore(4096, '\n');
    }
    return 0;
}

double Now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double Median(std::vector<double> values)
{
    return Percentile(std::move(values), 0.5);
}

double Percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return NAN;
    std::sort(values.begin(), values.end());
    const double rank = fraction * static_cast<double>(values.size() - 1);
    const auto low = static_cast<size_t>(rank);
    const size_t high = std::min(low + 1, values.size() - 1);
    return values[low] + (values[high] - values[low]) * (rank - static_cast<double>(low));
}

std::string Format(const char* format, double a, double b)
{
    char text[128];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

void PrintRow(const std::string& what, const std::string& measured, const std::string& target, bool met)
{
    std::printf("| %s | %s | %s | %s |\n", what.c_str(), measured.c_str(), target.c_str(), met ? "yes" : "**no**");
    std::fflush(stdout);
}

void PrintReferenceRow(const std::string& what, const std::string& measured)
{
    std::printf("| %s | %s | (reference) | |\n", what.c_str(), measured.c_str());
    std::fflush(stdout);
}

} // namespace bench
