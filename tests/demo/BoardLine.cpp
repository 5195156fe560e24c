#include "tests/demo/BoardLine.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>

#include <cerrno>

namespace demotest {
namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

} // namespace

BoardLine::BoardLine(const std::string& path)
    : m_fd(open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC))
{
    termios tio {};
    if (m_fd.IsValid() && tcgetattr(m_fd.Get(), &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(m_fd.Get(), TCSANOW, &tio);
    }
}

bool BoardLine::Write(const std::string& text)
{
    size_t done = 0;
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (done < text.size()) {
        const ssize_t n = write(m_fd.Get(), text.data() + done, text.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd pfd { m_fd.Get(), POLLOUT, 0 };
        if (poll(&pfd, 1, MillisecondsLeft(deadline)) <= 0)
            return false;
    }
    return true;
}

bool BoardLine::ReadUntil(const std::string& expected, std::chrono::milliseconds timeout, std::string& seen)
{
    const auto deadline = Clock::now() + timeout;
    while (seen.find(expected) == std::string::npos) {
        if (!ReadSome(deadline, seen))
            return false;
    }
    return true;
}

std::string BoardLine::ReadFor(std::chrono::milliseconds time)
{
    const auto deadline = Clock::now() + time;
    std::string seen;
    while (ReadSome(deadline, seen)) {
    }
    return seen;
}

bool BoardLine::ReadSome(std::chrono::steady_clock::time_point deadline, std::string& seen)
{
    pollfd pfd { m_fd.Get(), POLLIN, 0 };
    if (poll(&pfd, 1, MillisecondsLeft(deadline)) <= 0)
        return false;
    char buffer[4096];
    const ssize_t n = read(m_fd.Get(), buffer, sizeof buffer);
    if (n > 0)
        seen.append(buffer, static_cast<size_t>(n));
    return n > 0 || (n < 0 && (errno == EAGAIN || errno == EINTR));
}

} // namespace demotest
