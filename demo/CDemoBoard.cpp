#include "demo/CDemoBoard.h"

#include "demo/BoardProtocol.h"
#include "device/PortPath.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

namespace {

using Clock = CBoardProtocol::Clock;

// Input is not read while this much output waits, so a far end that stops
// reading can't make the board buffer without bound.
constexpr size_t MAX_PENDING_OUTPUT = 4096;

std::string Failed(const char* call)
{
    const char* text = strerrordesc_np(errno); // English whatever the locale
    return std::string("demo board: ") + call + " failed: " + (text != nullptr ? text : "unknown error");
}

int MillisecondsUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(std::min<long long>(left, 60000)) : 0;
}

// Writes what the line takes now; the rest stays pending.
void WriteSome(int fd, std::vector<uint8_t>& pending)
{
    while (!pending.empty()) {
        const ssize_t written = write(fd, pending.data(), pending.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return; // full (EAGAIN) or hung up: poll tells which
        }
        pending.erase(pending.begin(), pending.begin() + written);
    }
}

} // namespace

std::unique_ptr<CDemoBoard> CDemoBoard::Create(std::string& error)
{
    auto board = std::make_unique<CDemoBoard>(Key());
    if (!board->OpenTerminal(error))
        return nullptr;
    try {
        board->m_thread = std::thread(&CDemoBoard::Run, board.get());
    } catch (const std::system_error& e) {
        error = std::string("demo board: can't start its thread: ") + e.what();
        return nullptr;
    }
    if (!SetPortOverride("COM" + std::to_string(DEMO_PORT) + "=" + board->m_strSlavePath)) {
        error = "demo board: the port path " + board->m_strSlavePath + " was refused";
        return nullptr;
    }
    return board;
}

CDemoBoard::~CDemoBoard()
{
    if (!m_thread.joinable())
        return;
    const uint64_t one = 1;
    while (write(m_stopEvent.Get(), &one, sizeof one) < 0 && errno == EINTR) {
    }
    m_thread.join();
}

bool CDemoBoard::OpenTerminal(std::string& error)
{
    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        error = Failed("openpty()");
        return false;
    }
    m_master.Reset(master);
    UniqueFd slaveFd(slave);
    m_strSlavePath = name;
    // Raw on both sides: the slave's settings outlive this descriptor, so
    // nothing the board says is echoed back to it before the program has
    // configured the port.
    for (const int fd : { master, slave }) {
        termios tio {};
        if (tcgetattr(fd, &tio) != 0) {
            error = Failed("tcgetattr()");
            return false;
        }
        cfmakeraw(&tio);
        if (tcsetattr(fd, TCSANOW, &tio) != 0) {
            error = Failed("tcsetattr()");
            return false;
        }
    }
    // Until the program opens the slave, the master reports a hang-up:
    // that is how the board knows nobody is listening.
    slaveFd.Reset();
    if (fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK) != 0
        || fcntl(master, F_SETFD, FD_CLOEXEC) != 0) {
        error = Failed("fcntl()");
        return false;
    }
    m_stopEvent.Reset(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!m_stopEvent.IsValid()) {
        error = Failed("eventfd()");
        return false;
    }
    return true;
}

void CDemoBoard::Run()
{
    CBoardProtocol protocol;
    while (WaitForOpen()) {
        protocol.OnOpen();
        const bool bHungUp = Serve(protocol);
        protocol.OnHangUp();
        // Drop what either side left behind, so the next opening starts clean.
        tcflush(m_master.Get(), TCIOFLUSH);
        if (!bHungUp)
            return;
    }
}

bool CDemoBoard::WaitForOpen()
{
    // A hung-up master wakes every poll at once, so it is looked at between
    // sleeps here instead of being waited on.
    for (;;) {
        if (!IsHungUp()) {
            if (StopRequested(OPEN_SETTLE))
                return false;
            if (!IsHungUp())
                return true;
        }
        if (StopRequested(HANG_UP_POLL))
            return false;
    }
}

bool CDemoBoard::Serve(CBoardProtocol& protocol)
{
    std::vector<uint8_t> pending = protocol.TakeOutput();
    uint8_t buffer[4096];
    for (;;) {
        WriteSome(m_master.Get(), pending);
        const auto deadline = protocol.NextDeadline();
        short events = pending.empty() ? 0 : POLLOUT;
        if (pending.size() < MAX_PENDING_OUTPUT)
            events |= POLLIN;
        pollfd fds[2] = { { m_stopEvent.Get(), POLLIN, 0 }, { m_master.Get(), events, 0 } };
        if (poll(fds, 2, deadline ? MillisecondsUntil(*deadline) : -1) < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (fds[0].revents != 0)
            return false;
        if (fds[1].revents & POLLIN) {
            const ssize_t count = read(m_master.Get(), buffer, sizeof buffer);
            if (count > 0)
                protocol.OnReceive(buffer, static_cast<size_t>(count), Clock::now());
            else if (count < 0 && errno != EAGAIN && errno != EINTR)
                return true; // EIO: the far end has gone
        }
        if (fds[1].revents & (POLLHUP | POLLERR))
            return true;
        protocol.OnTime(Clock::now());
        const std::vector<uint8_t> output = protocol.TakeOutput();
        pending.insert(pending.end(), output.begin(), output.end());
    }
}

bool CDemoBoard::IsHungUp() const
{
    pollfd fd { m_master.Get(), POLLIN, 0 };
    return poll(&fd, 1, 0) > 0 && (fd.revents & (POLLHUP | POLLERR)) != 0;
}

bool CDemoBoard::StopRequested(std::chrono::milliseconds time) const
{
    pollfd fd { m_stopEvent.Get(), POLLIN, 0 };
    return poll(&fd, 1, static_cast<int>(time.count())) > 0;
}
