#include "tests/transfer/PtyXmodemOwner.h"

#include "platform/UiHooks.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace transfertest {
namespace {

int OpenSlave(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw std::runtime_error("open() of the pty slave failed");
    return fd;
}

void SignalEventFd(int fd)
{
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = write(fd, &one, sizeof one);
}

} // namespace

PtyXmodemOwner::PtyXmodemOwner(const std::string& slavePath)
    : m_fd(OpenSlave(slavePath))
    , m_abortFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
}

PtyXmodemOwner::~PtyXmodemOwner()
{
    close(m_fd);
    close(m_abortFd);
}

void PtyXmodemOwner::WriteBytes(const uint8_t* data, int32_t length)
{
    auto left = static_cast<size_t>(length);
    while (left > 0) {
        const ssize_t n = write(m_fd, data, left);
        if (n > 0) {
            data += n;
            left -= static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return;
        {
            std::lock_guard lock(m_mutex);
            m_bWriteBlocked = true;
        }
        m_changed.notify_all();
        pollfd fds[2] = { { m_fd, POLLOUT, 0 }, { m_abortFd, POLLIN, 0 } };
        if (poll(fds, 2, -1) < 0 && errno != EINTR)
            return;
        if (fds[1].revents != 0)
            return; // aborted: the rest of this write is dropped
    }
}

void PtyXmodemOwner::OnSendProgress(float fraction)
{
    platform::RunOnUiThread([this, fraction] { Record(fraction, nullptr); }, *m_pCancel);
}

void PtyXmodemOwner::OnSendComplete()
{
    platform::RunOnUiThread([this] { Record(1.0f, &m_nComplete); }, *m_pCancel);
}

void PtyXmodemOwner::OnSendFailed()
{
    platform::RunOnUiThread([this] { Record(0.0f, &m_nFailed); }, *m_pCancel);
}

void PtyXmodemOwner::AbortWrites()
{
    SignalEventFd(m_abortFd);
}

void PtyXmodemOwner::ResumeWrites()
{
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = read(m_abortFd, &count, sizeof count);
}

void PtyXmodemOwner::Record(float value, int* counter)
{
    {
        std::lock_guard lock(m_mutex);
        m_progress.push_back(value);
        if (counter)
            ++*counter;
    }
    m_changed.notify_all();
}

std::vector<float> PtyXmodemOwner::Progress() const
{
    std::lock_guard lock(m_mutex);
    return m_progress;
}

int PtyXmodemOwner::CompleteCount() const
{
    std::lock_guard lock(m_mutex);
    return m_nComplete;
}

int PtyXmodemOwner::FailedCount() const
{
    std::lock_guard lock(m_mutex);
    return m_nFailed;
}

bool PtyXmodemOwner::WaitUntilFinished(std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [this] { return m_nComplete + m_nFailed > 0; });
}

bool PtyXmodemOwner::WaitUntilWriteBlocked(std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [this] { return m_bWriteBlocked; });
}

PtyReplyReader::PtyReplyReader(const std::string& slavePath, CXmodem& xmodem)
    : m_xmodem(xmodem)
    , m_fd(OpenSlave(slavePath))
    , m_stopFd(eventfd(0, EFD_CLOEXEC))
    , m_thread(&PtyReplyReader::Run, this)
{
}

PtyReplyReader::~PtyReplyReader()
{
    SignalEventFd(m_stopFd);
    m_thread.join();
    close(m_fd);
    close(m_stopFd);
}

void PtyReplyReader::Run()
{
    uint8_t buffer[256];
    for (;;) {
        pollfd fds[2] = { { m_fd, POLLIN, 0 }, { m_stopFd, POLLIN, 0 } };
        if (poll(fds, 2, -1) < 0 && errno != EINTR)
            return;
        if (fds[1].revents != 0)
            return;
        if ((fds[0].revents & POLLIN) == 0) {
            // The master has gone: nothing more can arrive, wait for the stop.
            if (fds[0].revents != 0) {
                pollfd stop { m_stopFd, POLLIN, 0 };
                poll(&stop, 1, -1);
                return;
            }
            continue;
        }
        const ssize_t n = read(m_fd, buffer, sizeof buffer);
        for (ssize_t i = 0; i < n; ++i)
            m_xmodem.OnReply(buffer[i]);
    }
}

} // namespace transfertest
