// The program's end of the demo board's line in tests: opens the board's
// port path as the program would (raw, non-blocking) and reads and writes
// with time limits. Test thread only.
#pragma once

#include "platform/UniqueFd.h"

#include <chrono>
#include <string>

namespace demotest {

class BoardLine {
public:
    explicit BoardLine(const std::string& path);
    bool IsOpen() const { return m_fd.IsValid(); }
    void Close() { m_fd.Reset(); }

    bool Write(const std::string& text);
    // Reads until `expected` has arrived (true) or the time ran out; either
    // way `seen` holds everything read.
    bool ReadUntil(const std::string& expected, std::chrono::milliseconds timeout, std::string& seen);
    // Reads whatever arrives within `time`.
    std::string ReadFor(std::chrono::milliseconds time);

private:
    // False when the time ran out or the line failed.
    bool ReadSome(std::chrono::steady_clock::time_point deadline, std::string& seen);

    UniqueFd m_fd;
};

} // namespace demotest
