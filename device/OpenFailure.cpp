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

// The status bar speaks the window's language; the system's own error text
// follows the reason.
const char* const HELD = "已被其他程序占用";
const char* const NOT_SERIAL = "不是串口设备";

std::string CallFailed(const OpenFailure& failure)
{
    return std::string(OpenStepCall(failure.step)) + " 失败：" + ErrnoText(failure.nError);
}

std::string Reason(const OpenFailure& failure)
{
    const int error = failure.nError;
    switch (failure.step) {
    case OpenStep::ParseMode:
        return "设备不接受这些线路设置";
    case OpenStep::WriteLine:
        return "设备不接受这些线路设置（" + CallFailed(failure) + "）";
    case OpenStep::OpenDevice:
        if (error == ENOENT || error == ENXIO || error == ENODEV)
            return "设备不存在";
        if (error == EACCES || error == EPERM)
            return "没有权限（请把用户加入 dialout 组后重新登录）";
        if (error == EBUSY)
            return HELD;
        break;
    case OpenStep::LockDevice:
    case OpenStep::Exclusive:
        if (error == EWOULDBLOCK || error == EBUSY)
            return HELD;
        if (error == ENOTTY)
            return NOT_SERIAL;
        break;
    case OpenStep::ReadLine:
        if (error == ENOTTY)
            return NOT_SERIAL;
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
    return text != nullptr ? text : "错误 " + std::to_string(error);
}

std::string DescribeOpenFailure(const std::wstring& portName, const std::optional<std::string>& path,
                                const OpenFailure& failure)
{
    if (failure.step == OpenStep::None)
        return {};
    const std::string name = Utf8FromWide(portName);
    if (failure.step == OpenStep::Resolve)
        return name + "：不是串口名（应为 COM1 到 COM32 或设备的绝对路径）";
    if (failure.step == OpenStep::NoDevice)
        return name + "：没有设备对应这个名称（taliard --list-ports 列出可用串口）";
    const std::string where = (path && *path != name) ? name + " (" + *path + ")" : name;
    return where + "：" + Reason(failure);
}
