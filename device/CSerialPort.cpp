#include "device/CSerialPort.h"

#include "device/LineState.h"
#include "device/LineStatusText.h"
#include "device/PortPath.h"
#include "device/PortTable.h"
#include "platform/UiHooks.h"
#include "platform/Utf8.h"

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <system_error>
#include <thread>

namespace {

constexpr size_t READ_BLOCK_SIZE = 4096;
// Longest single wait for the output queue to drain, so that a queue that
// drains faster than estimated is noticed soon.
constexpr int64_t MAX_DRAIN_POLL_MS = 100;

void Signal(const UniqueFd& event)
{
    eventfd_write(event.Get(), 1);
}

// The events are non-blocking: draining an unsignalled event does nothing.
void Drain(const UniqueFd& event)
{
    eventfd_t count = 0;
    eventfd_read(event.Get(), &count);
}

} // namespace

CSerialPort::CSerialPort()
    : m_stopEvent(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
    , m_abortEvent(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    if (!m_stopEvent.IsValid() || !m_abortEvent.IsValid())
        m_nEventError = errno;
}

CSerialPort::~CSerialPort()
{
    Close();
}

bool CSerialPort::Open(const SerialSettings& settings, uint32_t eventMask)
{
    CCriticalSectionFuncation guard(m_csThread);
    if (IsOpen())
        return true;

    const auto path = ResolvePortPath(settings.m_strPortName);
    if (!path) {
        const bool bPortName = PortNumber(Utf8FromWide(settings.m_strPortName)).has_value();
        return Fail(settings, path, { bPortName ? OpenStep::NoDevice : OpenStep::Resolve, 0 });
    }
    const auto line = ParseModeString(BuildModeString(settings));
    if (!line)
        return Fail(settings, path, { OpenStep::ParseMode, 0 });
    if (m_nEventError != 0)
        return Fail(settings, path, { OpenStep::EventFd, m_nEventError });

    CCriticalSectionFuncation writeGuard(m_csWrite);
    OpenFailure failure;
    if (!m_handle.Open(*path, *line, failure))
        return Fail(settings, path, failure);
    ResumeWrites();
    {
        std::lock_guard lock(m_lineMutex);
        m_hangUpCell.SetFlag(0);
    }
    m_strPortName = Utf8FromWide(settings.m_strPortName);
    m_strPath = *path;
    m_line = *line;
    try {
        m_thread = std::thread(&CSerialPort::EventLoop, this, (eventMask & EV_RXCHAR) != 0);
    } catch (const std::system_error& error) {
        m_handle.Close();
        return Fail(settings, path, { OpenStep::StartThread, error.code().value() });
    }
    m_nBaudRate = line->nBaudRate;
    m_strLastOpenError.clear();
    m_openCell.SetFlag(1);
    return true;
}

bool CSerialPort::Fail(const SerialSettings& settings, const std::optional<std::string>& path, OpenFailure failure)
{
    m_strLastOpenError = DescribeOpenFailure(settings.m_strPortName, path, failure);
    return false;
}

void CSerialPort::Close()
{
    CCriticalSectionFuncation guard(m_csThread);
    if (!IsOpen())
        return;
    // The flag first: whoever wakes on the event must already see it.
    m_stopCell.SetFlag(1);
    Signal(m_stopEvent);
    m_thread.join();

    // A blocked writer wakes on the stop event and leaves; then the handle
    // can go.
    CCriticalSectionFuncation writeGuard(m_csWrite);
    m_handle.Close();
    Drain(m_stopEvent);
    m_openCell.SetFlag(0);
    m_stopCell.SetFlag(0);
}

std::string CSerialPort::GetLastOpenError() const
{
    CCriticalSectionFuncation guard(m_csThread);
    return m_strLastOpenError;
}

void CSerialPort::SetReceiveCallback(ReceiveCallback function, void* context)
{
    CCriticalSectionFuncation guard(m_csCallback);
    m_callbacks = Callbacks { function, nullptr, context };
}

void CSerialPort::SetReceiveCallback(RunCallback function, void* context)
{
    CCriticalSectionFuncation guard(m_csCallback);
    m_callbacks = Callbacks { nullptr, function, context };
}

void CSerialPort::OnReceiveByte(uint8_t byte)
{
    if (m_delivering.pfnByte != nullptr)
        m_delivering.pfnByte(byte, m_delivering.pContext);
}

void CSerialPort::EventLoop(bool bWatchInput)
{
    pthread_setname_np(pthread_self(), "taliard-port");
    while (!IsStopRequested()) {
        if (IsHungUp()) {
            WaitForDevice();
            continue;
        }
        // Only this thread changes the handle while it runs.
        const int fd = m_handle.Get();
        std::array<pollfd, 2> fds { { { m_stopEvent.Get(), POLLIN, 0 }, { fd, POLLIN, 0 } } };
        if (::poll(fds.data(), bWatchInput ? 2 : 1, -1) < 0) {
            if (errno != EINTR)
                MarkLineDown("poll()", errno);
            continue;
        }
        if (fds[0].revents != 0)
            return;
        if (fds[1].revents != 0)
            ReadAndDeliver(fd, fds[1].revents);
    }
}

void CSerialPort::MarkLineDown(const char* call, int error)
{
    {
        std::lock_guard lock(m_lineMutex);
        if (IsHungUp())
            return;
        m_strLineDown = LineDownReason(call, error);
        m_hangUpCell.AddValue(1);
        m_hangUpCell.SetFlag(1);
    }
    // A line lost while being released is no news to the user.
    if (!IsStopRequested())
        platform::ShowStatusText(LineDownStatusText(m_strPortName, m_strPath, call, error));
}

std::string CSerialPort::GetLineDownReason() const
{
    std::lock_guard lock(m_lineMutex);
    return m_strLineDown;
}

void CSerialPort::WaitForDevice()
{
    {
        // Held open, a pulled adapter's node could not come back under its
        // old name; writers find no handle and drop their bytes.
        CCriticalSectionFuncation writeGuard(m_csWrite);
        m_handle.Close();
    }
    // A slow look, not inotify: by-id folders vanish with their last device,
    // and two looks a second cost nothing measurable.
    pollfd stop { m_stopEvent.Get(), POLLIN, 0 };
    while (!IsStopRequested()) {
        const int ready = ::poll(&stop, 1, RECONNECT_POLL_MS);
        if (ready > 0)
            return;
        if (ready < 0 && errno != EINTR)
            std::this_thread::sleep_for(std::chrono::milliseconds(RECONNECT_POLL_MS));
        if (Reopen())
            return;
    }
}

bool CSerialPort::Reopen()
{
    struct stat info {};
    if (::stat(m_strPath.c_str(), &info) != 0)
        return false;
    CCriticalSectionFuncation writeGuard(m_csWrite);
    OpenFailure failure;
    // A node that udev has not yet given its permissions fails now and
    // opens at a later look.
    if (!m_handle.Open(m_strPath, m_line, failure))
        return false;
    {
        std::lock_guard lock(m_lineMutex);
        m_hangUpCell.SetFlag(0);
    }
    platform::ShowStatusText(LineBackStatusText(m_strPortName, m_strPath));
    return true;
}

void CSerialPort::ReadAndDeliver(int fd, short revents)
{
    std::array<uint8_t, READ_BLOCK_SIZE> block;
    const ssize_t length = ::read(fd, block.data(), block.size());
    if (length < 0) {
        if (errno != EAGAIN && errno != EINTR)
            MarkLineDown("read()", errno);
        // Nothing to read under a hang-up or error mark: the mark stays,
        // and looking again would spin.
        else if ((revents & (POLLHUP | POLLERR | POLLNVAL)) != 0)
            MarkLineDown("poll()", 0);
        return;
    }
    if (length == 0) {
        MarkLineDown("read()", 0);
        return;
    }
    {
        CCriticalSectionFuncation guard(m_csCallback);
        m_delivering = m_callbacks;
    }
    if (m_delivering.pfnRun != nullptr) {
        m_delivering.pfnRun(block.data(), static_cast<size_t>(length), m_delivering.pContext);
        return;
    }
    for (ssize_t i = 0; i < length && !IsStopRequested(); ++i)
        OnReceiveByte(block[static_cast<size_t>(i)]);
}

bool CSerialPort::Write(const uint8_t* bytes, int32_t count)
{
    if (count < 0)
        return false;
    return WriteAll(bytes, static_cast<size_t>(count));
}

bool CSerialPort::Write(const std::vector<uint8_t>& bytes)
{
    return WriteAll(bytes.data(), bytes.size());
}

void CSerialPort::AbortWrite()
{
    m_abortCell.SetFlag(1);
    Signal(m_abortEvent);
}

void CSerialPort::ResumeWrites()
{
    m_abortCell.SetFlag(0);
    Drain(m_abortEvent);
}

bool CSerialPort::WriteAll(const uint8_t* bytes, size_t count)
{
    CCriticalSectionFuncation guard(m_csWrite);
    if (!IsOpen() || IsStopRequested())
        return false;
    const int fd = m_handle.Get();
    if (fd < 0)
        return false; // the line is down and the device not back yet
    size_t written = 0;
    while (written < count) {
        const ssize_t length = ::write(fd, bytes + written, count - written);
        if (length > 0) {
            written += static_cast<size_t>(length);
            continue;
        }
        if (length < 0 && errno != EAGAIN && errno != EINTR) {
            MarkLineDown("write()", errno);
            return false;
        }
        if (!WaitForWriter(fd, POLLOUT, -1))
            return false;
    }
    return WaitUntilSent(fd);
}

bool CSerialPort::WaitUntilSent(int fd)
{
    for (;;) {
        int queued = 0;
        // A driver that cannot tell (or a pseudo-terminal, which never
        // queues) has sent what it took.
        if (::ioctl(fd, TIOCOUTQ, &queued) != 0 || queued <= 0)
            return true;
        // About the time the queue needs on the line, at 10 bits a byte.
        const int64_t estimate = int64_t { queued } * 10 * 1000 / m_nBaudRate + 1;
        const auto timeoutMs = static_cast<int>(std::min(estimate, MAX_DRAIN_POLL_MS));
        if (!WaitForWriter(-1, 0, timeoutMs))
            return false;
    }
}

bool CSerialPort::WaitForWriter(int fd, short events, int timeoutMs)
{
    std::array<pollfd, 3> fds { { { m_stopEvent.Get(), POLLIN, 0 }, { m_abortEvent.Get(), POLLIN, 0 }, { fd, events, 0 } } };
    const nfds_t count = fd >= 0 ? 3 : 2;
    for (;;) {
        if (IsStopRequested() || m_abortCell.GetFlag() != 0)
            return false;
        // Hang-up or error without room: the line is gone.
        if (count == 3 && fds[2].revents != 0) {
            if ((fds[2].revents & events) != 0)
                return true;
            MarkLineDown("poll()", 0);
            return false;
        }
        for (pollfd& entry : fds)
            entry.revents = 0;
        const int ready = ::poll(fds.data(), count, timeoutMs);
        if (ready == 0)
            return true;
        if (ready < 0 && errno != EINTR)
            return false;
    }
}
