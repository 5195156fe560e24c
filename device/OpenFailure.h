// Why the last Open of a port failed: the step and its errno, and the
// one-line text for the status bar, in the window's language with the
// system's error text, e.g. "COM3 (/dev/ttyS2)：设备不存在". Pure: any thread.
#pragma once

#include <optional>
#include <string>

enum class OpenStep {
    None,        // no failure
    Resolve,     // the text is not a port name
    NoDevice,    // a COM name no rule maps to a device
    ParseMode,   // the settings texts do not make a line state
    EventFd,     // eventfd()
    OpenDevice,  // open()
    LockDevice,  // flock()
    Exclusive,   // ioctl(TIOCEXCL)
    ReadLine,    // ioctl(TCGETS2)
    WriteLine,   // ioctl(TCSETS2)
    ModemLines,  // ioctl(TIOCMBIC)
    Purge,       // ioctl(TCFLSH)
    StartThread, // pthread_create()
};

struct OpenFailure {
    OpenStep step = OpenStep::None;
    int nError = 0; // errno of the step; 0 for the steps that are not system calls
};

// Empty when there was no failure. `path` is the resolved device path, if any.
std::string DescribeOpenFailure(const std::wstring& portName, const std::optional<std::string>& path,
                                const OpenFailure& failure);

// The system's text for an errno, in English whatever the locale.
std::string ErrnoText(int error);
