#include "device/PortHandle.h"

#include "device/LineTermios.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>

#include <cerrno>

PortHandle::PortHandle() = default;

PortHandle::~PortHandle()
{
    Close();
}

bool PortHandle::Open(const std::string& path, const LineState& line, OpenFailure& failure)
{
    Close();
    const auto fail = [&](OpenStep step, int error) {
        failure = { step, error };
        Close();
        return false;
    };

    m_fd.Reset(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!m_fd.IsValid())
        return fail(OpenStep::OpenDevice, errno);
    // TIOCEXCL keeps other programs from opening the tty, but root ignores
    // it; the advisory lock is what stops a second open by anyone who also
    // asks for it, this program included.
    if (::flock(m_fd.Get(), LOCK_EX | LOCK_NB) != 0)
        return fail(OpenStep::LockDevice, errno);
    if (::ioctl(m_fd.Get(), TIOCEXCL) != 0)
        return fail(OpenStep::Exclusive, errno);

    auto saved = std::make_unique<termios2>();
    if (const int error = ReadTermios2(m_fd.Get(), *saved))
        return fail(OpenStep::ReadLine, error);
    m_pSavedLine = std::move(saved);
    // A pseudo-terminal quietly forces CS8 and clears PARENB; the ioctl still
    // succeeds, and what the kernel kept is not checked against what we asked.
    if (const int error = WriteTermios2(m_fd.Get(), TermiosFromLineState(line, *m_pSavedLine)))
        return fail(OpenStep::WriteLine, error);

    // DTR and RTS held off. A device without modem lines (a pseudo-terminal)
    // refuses the ioctl; that is no reason to refuse the port.
    const int modemLines = TIOCM_DTR | TIOCM_RTS;
    if (::ioctl(m_fd.Get(), TIOCMBIC, &modemLines) != 0 && errno != ENOTTY && errno != EINVAL)
        return fail(OpenStep::ModemLines, errno);
    // tcflush() itself lives in <termios.h>, which cannot be used here.
    if (::ioctl(m_fd.Get(), TCFLSH, TCIOFLUSH) != 0)
        return fail(OpenStep::Purge, errno);
    return true;
}

void PortHandle::Close()
{
    if (!m_fd.IsValid())
        return;
    // Best effort: the device may already be gone.
    if (m_pSavedLine)
        WriteTermios2(m_fd.Get(), *m_pSavedLine);
    m_pSavedLine.reset();
    ::ioctl(m_fd.Get(), TIOCNXCL);
    m_fd.Reset(); // also releases the flock
}
