#include "device/PortTable.h"

#include "device/PortDiscovery.h"
#include "device/PortPath.h"
#include "platform/Utf8.h"

#include <sys/stat.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Serialises reading and rewriting the automatic file within the process.
std::mutex g_tableMutex;

struct Sources {
    std::map<int, std::string> commandLine;
    std::map<int, std::string> user;
    std::map<int, std::string> automatic;
};

Sources LoadSources()
{
    Sources sources;
    sources.commandLine = PortOverrides();
    if (const auto file = ConfigFilePath())
        sources.user = ReadPortAssignments(*file);
    if (const auto file = AutomaticPortsFilePath())
        sources.automatic = ReadPortAssignments(*file);
    return sources;
}

std::optional<PortMapping> Mapped(const Sources& sources, int number)
{
    for (const auto& [map, source] : { std::pair { &sources.commandLine, PortSource::CommandLine },
                                       std::pair { &sources.user, PortSource::UserFile },
                                       std::pair { &sources.automatic, PortSource::Automatic } }) {
        const auto it = map->find(number);
        if (it != map->end())
            return PortMapping { it->second, source };
    }
    return std::nullopt;
}

std::string DefaultPath(int number)
{
    return DeviceRoot() + "/ttyS" + std::to_string(number - 1);
}

// Every port's mapping, given the devices found; real ttyS ports fill the
// numbers no rule maps.
std::map<int, PortMapping> Table(const Sources& sources, const std::vector<SerialDevice>& devices)
{
    std::set<std::string> uarts;
    for (const SerialDevice& device : devices)
        uarts.insert(device.path);
    std::map<int, PortMapping> table;
    for (int number = 1; number <= PORT_COUNT; ++number) {
        if (auto mapping = Mapped(sources, number))
            table[number] = std::move(*mapping);
        else if (uarts.count(DefaultPath(number)) != 0)
            table[number] = PortMapping { DefaultPath(number), PortSource::Default };
    }
    return table;
}

bool WriteAutomaticFile(const std::map<int, std::string>& assignments)
{
    const auto file = AutomaticPortsFilePath();
    if (!file)
        return false;
    std::error_code error;
    fs::create_directories(fs::path(*file).parent_path(), error);
    const std::string temporary = *file + ".new";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << "# COM numbers taliard gave to serial devices the first time it saw them.\n"
               "# A line in ports.conf wins over one here; delete this file to forget them.\n";
        for (const auto& [number, path] : assignments)
            out << "COM" << number << '=' << path << '\n';
        if (!out.flush())
            return false;
    }
    return std::rename(temporary.c_str(), file->c_str()) == 0;
}

// Gives each device that no COM name reaches the lowest number no rule
// uses, and stores the result. Returns the devices found.
std::vector<SerialDevice> AssignNewDevices(Sources& sources)
{
    std::vector<SerialDevice> devices = DiscoverSerialDevices();
    const std::map<int, PortMapping> table = Table(sources, devices);
    std::set<std::string> reached;
    for (const auto& [number, mapping] : table)
        reached.insert(CanonicalDevicePath(mapping.path));
    bool changed = false;
    for (const SerialDevice& device : devices) {
        if (reached.count(device.canonical) != 0)
            continue;
        // A number it had before that a user line now shadows is dropped.
        std::erase_if(sources.automatic, [&](const auto& entry) { return CanonicalDevicePath(entry.second) == device.canonical; });
        for (int number = 1; number <= PORT_COUNT; ++number) {
            if (table.count(number) == 0 && sources.automatic.count(number) == 0) {
                sources.automatic[number] = device.path;
                reached.insert(device.canonical);
                changed = true;
                break;
            }
        }
    }
    if (changed)
        WriteAutomaticFile(sources.automatic);
    return devices;
}

const char* SourceName(PortSource source)
{
    switch (source) {
    case PortSource::CommandLine: return "command line";
    case PortSource::UserFile: return "ports.conf";
    case PortSource::Automatic: return "automatic";
    case PortSource::Default: return "default";
    }
    return "";
}

bool Exists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

} // namespace

std::optional<std::string> AutomaticPortsFilePath()
{
    const auto file = ConfigFilePath();
    if (!file)
        return std::nullopt;
    return (fs::path(*file).parent_path() / "ports-auto.conf").string();
}

std::optional<PortMapping> ResolvePort(int number)
{
    std::lock_guard lock(g_tableMutex);
    Sources sources = LoadSources();
    if (auto mapping = Mapped(sources, number))
        return mapping;
    const std::vector<SerialDevice> devices = AssignNewDevices(sources);
    const std::map<int, PortMapping> table = Table(sources, devices);
    const auto it = table.find(number);
    if (it == table.end())
        return std::nullopt;
    return it->second;
}

std::optional<std::string> ResolvePortPath(const std::wstring& portName)
{
    const std::string name = Utf8FromWide(portName);
    if (!name.empty() && name.front() == '/')
        return name;
    const auto number = PortNumber(name);
    if (!number)
        return std::nullopt;
    auto mapping = ResolvePort(*number);
    if (!mapping)
        return std::nullopt;
    return std::move(mapping->path);
}

std::string PortListText()
{
    std::lock_guard lock(g_tableMutex);
    Sources sources = LoadSources();
    const std::vector<SerialDevice> devices = AssignNewDevices(sources);
    std::map<std::string, std::string> descriptions;
    for (const SerialDevice& device : devices)
        descriptions[device.canonical] = device.description;
    std::string text;
    for (const auto& [number, mapping] : Table(sources, devices)) {
        if (!Exists(mapping.path))
            continue;
        const auto description = descriptions.find(CanonicalDevicePath(mapping.path));
        std::array<char, 16> name {};
        std::snprintf(name.data(), name.size(), "COM%-3d", number);
        text += std::string(name.data()) + "  " + mapping.path + "  "
            + (description != descriptions.end() ? description->second : std::string("-")) + "  ("
            + SourceName(mapping.source) + ")\n";
    }
    return text;
}

std::wstring PortChoiceText(const std::wstring& portName)
{
    const auto path = ResolvePortPath(portName);
    if (path && Exists(*path))
        return portName + L": " + WideFromUtf8(*path);
    if (path)
        return portName + L": 没有设备响应（" + WideFromUtf8(*path) + L"）";
    return portName + L": 没有设备对应此端口";
}
