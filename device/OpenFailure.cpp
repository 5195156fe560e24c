#include "device/OpenFailure.h"

#include "platform/Utf8.h"

#include <cerrno>
#include <cstring>

namespace {

// The failing call as it would appear in C, e.g. "ioctl(TCSETS2)".
const char* OpenStepCall(OpenStep step)
{
    switch (step) {
    case OpenStep::None: return "";
    case OpenStep::Resolve:
    case OpenStep::NoDevice: return "ResolvePortPath()";
    case OpenStep::ParseMode: return "ParseModeString()";
    case OpenStep::EventFd: return "eventfd()";
    case OpenStep::OpenDevice: return "open()";
    case OpenStep::LockDevice: return "flock()";
    case OpenStep::Exclusive: return "ioctl(TIOCEXCL)";
    case OpenStep::ReadLine: return "ioctl(TCGETS2)";
    case OpenStep::WriteLine: return "ioctl(TCSETS2)";
    case OpenStep::ModemLines: return "ioctl(TIOCMBIC)";
    case OpenStep::Purge: return "ioctl(TCFLSH)";
    case OpenStep::StartThread: return "pthread_create()";
    }
    return "";
}

std::string CallFailed(const OpenFailure& failure)
{
    return std::string(OpenStepCall(failure.step)) + " failed: " + ErrnoText(failure.nError);
}

std::string Reason(const OpenFailure& failure)
{
    const int error = failure.nError;
    switch (failure.step) {
    case OpenStep::ParseMode:
        return "line settings refused";
    case OpenStep::WriteLine:
        return "line settings refused (" + CallFailed(failure) + ")";
    case OpenStep::OpenDevice:
        if (error == ENOENT || error == ENXIO || error == ENODEV)
            return "no such device";
        if (error == EACCES || error == EPERM)
            return "permission denied (join the dialout group)";
        if (error == EBUSY)
            return "held by another program";
        break;
    case OpenStep::LockDevice:
    case OpenStep::Exclusive:
        if (error == EWOULDBLOCK || error == EBUSY)
            return "held by another program";
        if (error == ENOTTY)
            return "not a serial device";
        break;
    case OpenStep::ReadLine:
        if (error == ENOTTY)
            return "not a serial device";
        break;
    default:
        break;
    }
    return CallFailed(failure);
}

} // namespace

std::string ErrnoText(int error)
{
    const char* text = strerrordesc_np(error);
    return text != nullptr ? text : "error " + std::to_string(error);
}

std::string DescribeOpenFailure(const std::wstring& portName, const std::optional<std::string>& path,
                                const OpenFailure& failure)
{
    if (failure.step == OpenStep::None)
        return {};
    const std::string name = Utf8FromWide(portName);
    if (failure.step == OpenStep::Resolve)
        return name + ": not a port name (COM1 to COM32 or an absolute device path)";
    if (failure.step == OpenStep::NoDevice)
        return name + ": no device answers to this name (taliard --list-ports shows the ports)";
    const std::string where = (path && *path != name) ? name + " (" + *path + ")" : name;
    return where + ": " + Reason(failure);
}
