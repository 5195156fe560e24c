// The status-bar texts for a line that went down while connected and for
// one that came back, naming the port and its device, e.g.
// "COM3 (/dev/ttyUSB0): 设备已断开，等待重新连接…（read(): Input/output error）".
// Pure: any thread.
#pragma once

#include <string>

// `error` 0 means a hang-up without an error number.
std::wstring LineDownStatusText(const std::string& portName, const std::string& path, const char* call, int error);
std::wstring LineBackStatusText(const std::string& portName, const std::string& path);
// The same cause in English for diagnostics: "read() failed: Input/output
// error", or "read(): hang-up".
std::string LineDownReason(const char* call, int error);
