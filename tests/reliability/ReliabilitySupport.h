// Helpers shared by the cross-layer fault and load tests: a deterministic
// byte stream, file and path helpers, a progress recorder and the process's
// own resource counts from /proc. Test thread only.
#pragma once

#include "document/ProgressSink.h"

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

namespace reliability {

// Byte number `index` of an endless printable stream: no zero (the document
// keeps no zero bytes in its buffer, so counts stay exact), no reply byte of
// the sender and no CRC start byte 'C' (so it cannot start a waiting
// transfer).
uint8_t StreamByte(uint64_t index);
std::vector<uint8_t> StreamBytes(uint64_t first, size_t count);

std::vector<uint8_t> FileBytes(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
std::wstring Wide(const std::filesystem::path& path);

// A size from the environment (the sanitizer runs set smaller loads), else
// the default.
uint64_t SizeFromEnvironment(const char* name, uint64_t fallback);

struct ProcessCounts {
    size_t openFds = 0;
    size_t threads = 0;
    uint64_t rssKiB = 0;
};
ProcessCounts CountProcessResources();
// CPU ticks (user + system) of our thread named `name`; -1 when there is none.
long ThreadCpuTicks(const std::string& name);

class ProgressRecorder : public CProgressSink {
public:
    void SetProgress(float fraction) override;
    std::vector<float> Values();

private:
    std::mutex m_lock;
    std::vector<float> m_values;
};

} // namespace reliability
