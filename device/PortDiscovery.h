// Finds the serial devices that really exist, without a daemon: the udev
// by-id links, USB/ACM/AMA/Bluetooth ttys, and the ttyS ports that have a
// UART behind them. The device folder can be pointed elsewhere (tests build
// a tree of links to pseudo-terminals). Any thread.
#pragma once

#include <string>
#include <vector>

struct SerialDevice {
    std::string path;        // the name to use: the by-id link when there is one
    std::string canonical;   // the device node the name leads to
    std::string description; // one line: vendor, model, serial, or the kind
};

// One entry per device node, by-id names first, then in name order.
std::vector<SerialDevice> DiscoverSerialDevices();

// True when `path` is a ttyS-style port with a UART the kernel knows
// (TIOCGSERIAL reports a type), or one that another program holds.
bool IsRealUart(const std::string& path);

// The device node a name leads to; the name itself when it leads nowhere.
std::string CanonicalDevicePath(const std::string& path);

// "/dev" unless set; set before other threads discover.
void SetDeviceRoot(const std::string& root);
std::string DeviceRoot();

// "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0" made readable:
// "FTDI FT232R USB UART (A50285BI)". Pure.
std::string DescribeByIdName(const std::string& name);
