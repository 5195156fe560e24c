#include "device/PortDiscovery.h"

#include "platform/UniqueFd.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <filesystem>
#include <mutex>
#include <set>
#include <string_view>

namespace fs = std::filesystem;

namespace {

struct Kind {
    std::string_view prefix;
    std::string_view description;
};

// ttyS last: it is the one kind that must be probed.
constexpr std::array<Kind, 5> KINDS { {
    { "ttyUSB", "USB serial adapter" },
    { "ttyACM", "USB modem (CDC ACM)" },
    { "ttyAMA", "ARM UART" },
    { "rfcomm", "Bluetooth RFCOMM" },
    { "ttyS", "UART" },
} };

std::mutex g_rootMutex;
std::string g_root = "/dev";

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsCharDevice(const fs::path& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISCHR(info.st_mode);
}

// The names in a folder, sorted; none when it cannot be read.
std::vector<std::string> Names(const fs::path& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The number after the prefix, so that ttyUSB10 sorts after ttyUSB9.
bool KindNameLess(const std::string& a, const std::string& b)
{
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

// The driver's name from sysfs, for the ports that have no by-id link.
std::string DriverName(const std::string& node)
{
    std::error_code error;
    const fs::path driver = fs::read_symlink(fs::path("/sys/class/tty") / fs::path(node).filename() / "device/driver", error);
    return error ? std::string() : driver.filename().string();
}

} // namespace

std::string CanonicalDevicePath(const std::string& path)
{
    std::error_code error;
    const fs::path resolved = fs::canonical(path, error);
    return error ? path : resolved.string();
}

void SetDeviceRoot(const std::string& root)
{
    std::lock_guard lock(g_rootMutex);
    g_root = root;
}

std::string DeviceRoot()
{
    std::lock_guard lock(g_rootMutex);
    return g_root;
}

bool IsRealUart(const std::string& path)
{
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.IsValid())
        return errno == EBUSY; // held exclusively by another program: it exists
    serial_struct serial {};
    return ::ioctl(fd.Get(), TIOCGSERIAL, &serial) == 0 && serial.type != PORT_UNKNOWN;
}

std::string DescribeByIdName(const std::string& name)
{
    std::string_view text = name;
    for (const std::string_view bus : { "usb-", "pci-", "platform-" }) {
        if (text.starts_with(bus)) {
            text.remove_prefix(bus.size());
            break;
        }
    }
    // Interface and port suffixes ("-if00", "-port0") say nothing to a user.
    for (const std::string_view suffix : { "-port", "-if" }) {
        const size_t at = text.rfind(suffix);
        if (at != std::string_view::npos && at > 0 && at + suffix.size() < text.size()
            && std::all_of(text.begin() + static_cast<long>(at + suffix.size()), text.end(), IsDigit))
            text = text.substr(0, at);
    }
    std::string model(text);
    std::string serial;
    const size_t last = model.rfind('_');
    if (last != std::string::npos && last + 1 < model.size()) {
        serial = model.substr(last + 1);
        model.resize(last);
    }
    std::replace(model.begin(), model.end(), '_', ' ');
    return serial.empty() ? model : model + " (" + serial + ")";
}

std::vector<SerialDevice> DiscoverSerialDevices()
{
    const fs::path root = DeviceRoot();
    std::vector<SerialDevice> devices;
    std::set<std::string> seen;
    for (const std::string& name : Names(root / "serial" / "by-id")) {
        const fs::path path = root / "serial" / "by-id" / name;
        const std::string node = CanonicalDevicePath(path.string());
        if (IsCharDevice(path) && seen.insert(node).second)
            devices.push_back({ path.string(), node, DescribeByIdName(name) });
    }
    const std::vector<std::string> names = Names(root);
    for (const Kind& kind : KINDS) {
        std::vector<std::string> ofKind;
        std::copy_if(names.begin(), names.end(), std::back_inserter(ofKind), [&](const std::string& name) {
            return name.size() > kind.prefix.size() && name.starts_with(kind.prefix)
                && std::all_of(name.begin() + static_cast<long>(kind.prefix.size()), name.end(), IsDigit);
        });
        std::sort(ofKind.begin(), ofKind.end(), KindNameLess);
        for (const std::string& name : ofKind) {
            const fs::path path = root / name;
            const std::string node = CanonicalDevicePath(path.string());
            if (!IsCharDevice(path) || seen.count(node) != 0)
                continue;
            if (kind.prefix == "ttyS" && !IsRealUart(path.string()))
                continue;
            seen.insert(node);
            const std::string driver = DriverName(node);
            devices.push_back({ path.string(), node, driver.empty() ? std::string(kind.description)
                                                                    : std::string(kind.description) + " (" + driver + ")" });
        }
    }
    return devices;
}
