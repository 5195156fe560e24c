#include "tests/support/PtyPair.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <system_error>

namespace testsupport {
namespace {

int RemainingMs(std::chrono::steady_clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace

PtyPair::PtyPair()
{
    char name[256] = {};
    int slave = -1;
    if (openpty(&m_master, &slave, name, nullptr, nullptr) != 0)
        throw std::system_error(errno, std::generic_category(), "openpty() failed");
    m_slavePath = name;
    termios tio {};
    tcgetattr(m_master, &tio);
    cfmakeraw(&tio);
    tcsetattr(m_master, TCSANOW, &tio);
    tcgetattr(slave, &tio);
    cfmakeraw(&tio);
    tcsetattr(slave, TCSANOW, &tio);
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    fcntl(m_master, F_SETFD, FD_CLOEXEC);
    fcntl(slave, F_SETFD, FD_CLOEXEC);
    m_slaveKeeper = slave;
}

PtyPair::~PtyPair()
{
    CloseMaster();
    if (m_slaveKeeper >= 0)
        close(m_slaveKeeper);
}

void PtyPair::CloseMaster()
{
    if (m_master >= 0)
        close(m_master);
    m_master = -1;
}

bool PtyPair::WriteToPort(const void* data, size_t length, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const auto* bytes = static_cast<const uint8_t*>(data);
    while (length > 0) {
        const ssize_t n = write(m_master, bytes, length);
        if (n > 0) {
            bytes += n;
            length -= static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd pfd { m_master, POLLOUT, 0 };
        if (poll(&pfd, 1, RemainingMs(deadline)) <= 0)
            return false;
    }
    return true;
}

std::vector<uint8_t> PtyPair::ReadFromPort(size_t count, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::vector<uint8_t> out;
    uint8_t buffer[4096];
    while (out.size() < count) {
        pollfd pfd { m_master, POLLIN, 0 };
        if (poll(&pfd, 1, RemainingMs(deadline)) <= 0)
            break;
        const ssize_t n = read(m_master, buffer, std::min(sizeof buffer, count - out.size()));
        if (n > 0)
            out.insert(out.end(), buffer, buffer + n);
        else if (n == 0 || (errno != EAGAIN && errno != EINTR))
            break;
    }
    return out;
}

std::vector<uint8_t> PtyPair::ReadUntilQuiet(std::chrono::milliseconds quiet)
{
    std::vector<uint8_t> out;
    uint8_t buffer[4096];
    for (;;) {
        pollfd pfd { m_master, POLLIN, 0 };
        if (poll(&pfd, 1, static_cast<int>(quiet.count())) <= 0)
            return out;
        const ssize_t n = read(m_master, buffer, sizeof buffer);
        if (n > 0)
            out.insert(out.end(), buffer, buffer + n);
        else if (n == 0 || (errno != EAGAIN && errno != EINTR))
            return out;
    }
}

} // namespace testsupport
