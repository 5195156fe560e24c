// Helpers for the device tests that run on pseudo-terminals: settings for a
// pty, the process's open descriptors, and the port thread's CPU time.
#pragma once

#include "device/SerialSettings.h"
#include "tests/support/PtyPair.h"

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>

namespace devicetest {

std::wstring Wide(const std::string& text);

SerialSettings PtySettings(const testsupport::PtyPair& pty, const std::wstring& baud = L"115200",
                           const std::wstring& parity = L"无", const std::wstring& dataBits = L"8",
                           const std::wstring& stopBits = L"1");

// Entries of /proc/self/fd.
int CountOpenFds();

// The thread of this process with that name (/proc/self/task/*/comm).
std::optional<pid_t> FindThread(const std::string& name);

// User plus system time of a thread of this process, in clock ticks.
uint64_t ThreadCpuTicks(pid_t tid);

} // namespace devicetest
