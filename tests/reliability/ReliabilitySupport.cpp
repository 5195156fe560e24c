#include "tests/reliability/ReliabilitySupport.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace reliability {

uint8_t StreamByte(uint64_t index)
{
    // Printable ASCII without 'C': a period of 94 that no block size divides.
    const auto value = static_cast<uint8_t>(' ' + index % 94);
    return value >= 'C' ? static_cast<uint8_t>(value + 1) : value;
}

std::vector<uint8_t> StreamBytes(uint64_t first, size_t count)
{
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = StreamByte(first + i);
    return bytes;
}

std::vector<uint8_t> FileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::wstring Wide(const std::filesystem::path& path)
{
    const std::string s = path.string();
    return { s.begin(), s.end() };
}

uint64_t SizeFromEnvironment(const char* name, uint64_t fallback)
{
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0')
        return fallback;
    return std::strtoull(text, nullptr, 10);
}

ProcessCounts CountProcessResources()
{
    ProcessCounts counts;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++counts.openFds;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/task"))
        ++counts.threads;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            counts.rssKiB = std::strtoull(line.c_str() + 6, nullptr, 10);
    }
    return counts;
}

long ThreadCpuTicks(const std::string& name)
{
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(task.path() / "comm");
        std::string taskName;
        std::getline(comm, taskName);
        if (taskName != name)
            continue;
        std::ifstream statFile(task.path() / "stat");
        const std::string stat { std::istreambuf_iterator<char>(statFile), std::istreambuf_iterator<char>() };
        // The fields after the parenthesised name: state is field 3, utime 14, stime 15.
        std::istringstream fields(stat.substr(stat.rfind(')') + 2));
        std::string field;
        long utime = 0;
        long stime = 0;
        for (int number = 3; fields >> field && number <= 15; ++number) {
            if (number == 14)
                utime = std::stol(field);
            if (number == 15)
                stime = std::stol(field);
        }
        return utime + stime;
    }
    return -1;
}

void ProgressRecorder::SetProgress(float fraction)
{
    std::lock_guard lock(m_lock);
    m_values.push_back(fraction);
}

std::vector<float> ProgressRecorder::Values()
{
    std::lock_guard lock(m_lock);
    return m_values;
}

} // namespace reliability
