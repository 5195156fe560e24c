#include "device/LineStatusText.h"

#include "device/OpenFailure.h"
#include "platform/Utf8.h"

namespace {

std::wstring Where(const std::string& portName, const std::string& path)
{
    return WideFromUtf8(path == portName ? path : portName + " (" + path + ")");
}

} // namespace

std::string LineDownReason(const char* call, int error)
{
    return error == 0 ? std::string(call) + ": hang-up" : std::string(call) + " failed: " + ErrnoText(error);
}

std::wstring LineDownStatusText(const std::string& portName, const std::string& path, const char* call, int error)
{
    const std::wstring cause = error == 0 ? L"挂断" : WideFromUtf8(std::string(call) + ": " + ErrnoText(error));
    return Where(portName, path) + L": 设备已断开，等待重新连接…（" + cause + L"）";
}

std::wstring LineBackStatusText(const std::string& portName, const std::string& path)
{
    return Where(portName, path) + L": 设备已重新连接，继续接收";
}
