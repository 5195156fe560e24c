#include "tests/support/RxRunner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace testsupport {
namespace {

void CloseFd(int& fd)
{
    if (fd >= 0)
        close(fd);
    fd = -1;
}

// Writes everything to fd, waiting for room with poll when it is non-blocking.
bool WriteAll(int fd, const uint8_t* data, size_t length)
{
    while (length > 0) {
        const ssize_t n = write(fd, data, length);
        if (n > 0) {
            data += n;
            length -= static_cast<size_t>(n);
        } else if (n < 0 && errno == EAGAIN) {
            pollfd pfd { fd, POLLOUT, 0 };
            poll(&pfd, 1, -1);
        } else if (n < 0 && errno != EINTR) {
            return false;
        }
    }
    return true;
}

} // namespace

RxRunner::RxRunner(int masterFd, const std::vector<std::string>& args, const std::string& workDir)
    : m_masterFd(masterFd)
{
    // rx may exit while the pump still writes to its stdin.
    signal(SIGPIPE, SIG_IGN);

    int stdinPipe[2];
    int stdoutPipe[2];
    if (pipe2(stdinPipe, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe2() failed");
    if (pipe2(stdoutPipe, O_CLOEXEC) != 0) {
        close(stdinPipe[0]);
        close(stdinPipe[1]);
        throw std::runtime_error("pipe2() failed");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, stdinPipe[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, stdoutPipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "rx.log", O_WRONLY | O_CREAT | O_TRUNC, 0644);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>("rx"));
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const int error = posix_spawnp(&m_pid, "rx", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(stdinPipe[0]);
    close(stdoutPipe[1]);
    m_toRx = stdinPipe[1];
    m_fromRx = stdoutPipe[0];
    if (error != 0) {
        CloseFd(m_toRx);
        CloseFd(m_fromRx);
        throw std::runtime_error(std::string("cannot start rx (") + std::strerror(error)
                                 + "): install the Debian package lrzsz");
    }
    m_stopFd = eventfd(0, EFD_CLOEXEC);
    m_toRxThread = std::thread(&RxRunner::PumpToRx, this);
    m_fromRxThread = std::thread(&RxRunner::PumpFromRx, this);
}

RxRunner::~RxRunner()
{
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = write(m_stopFd, &one, sizeof one);
    m_toRxThread.join();
    m_fromRxThread.join();
    CloseFd(m_toRx);
    CloseFd(m_fromRx);
    CloseFd(m_stopFd);
}

int RxRunner::Wait(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (m_pid > 0) {
        int status = 0;
        const pid_t done = waitpid(m_pid, &status, WNOHANG);
        if (done == m_pid) {
            m_pid = -1;
            m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return m_status;
}

void RxRunner::PumpToRx()
{
    uint8_t buffer[4096];
    for (;;) {
        pollfd fds[2] = { { m_masterFd, POLLIN, 0 }, { m_stopFd, POLLIN, 0 } };
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        // A hang-up without data (every slave closed) would spin: stop then.
        if (fds[1].revents != 0 || (fds[0].revents & POLLIN) == 0)
            return;
        const ssize_t n = read(m_masterFd, buffer, sizeof buffer);
        if (n > 0 && !WriteAll(m_toRx, buffer, static_cast<size_t>(n)))
            return; // rx has gone
    }
}

void RxRunner::PumpFromRx()
{
    uint8_t buffer[4096];
    for (;;) {
        const ssize_t n = read(m_fromRx, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || !WriteAll(m_masterFd, buffer, static_cast<size_t>(n)))
            return; // rx has closed its output
    }
}

} // namespace testsupport
