#include "device/PortPath.h"

#include "platform/Utf8.h"

#include <climits>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <map>
#include <mutex>
#include <utility>

namespace {

struct Overrides {
    std::mutex mutex;
    std::map<int, std::string> paths;
};

Overrides& CommandLineOverrides()
{
    static Overrides overrides;
    return overrides;
}

std::string_view Trim(std::string_view text)
{
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

} // namespace

std::optional<int> PortNumber(std::string_view name)
{
    if (name.size() < 4 || name.size() > 5)
        return std::nullopt;
    for (size_t i = 0; i < 3; ++i) {
        if ((name[i] & ~0x20) != "COM"[i])
            return std::nullopt;
    }
    int number = 0;
    for (const char c : name.substr(3)) {
        if (c < '0' || c > '9')
            return std::nullopt;
        number = number * 10 + (c - '0');
    }
    if (name[3] == '0' || number < 1 || number > PORT_COUNT)
        return std::nullopt;
    return number;
}

std::optional<std::string> ConfigFilePath()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/')
        return std::string(config) + "/taliard/ports.conf";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/')
        return std::string(home) + "/.config/taliard/ports.conf";
    return std::nullopt;
}

// Room for a path of PATH_MAX bytes and the port name around it.
constexpr size_t MAX_LINE_LENGTH = PATH_MAX + 16;

// The next line of in, without its end; false at the end of the file. A
// longer line than MAX_LINE_LENGTH comes back empty, and is never held
// whole: a stray huge line must not cost its size in memory.
bool ReadLine(std::istream& in, std::string& line)
{
    line.resize(MAX_LINE_LENGTH + 1);
    in.getline(line.data(), static_cast<std::streamsize>(line.size()));
    if (in.bad() || (in.gcount() == 0 && in.eof()))
        return false;
    if (in.fail()) { // filled up without reaching the line's end
        in.clear();
        in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
        line.clear();
        return true;
    }
    line.resize(std::char_traits<char>::length(line.c_str()));
    return true;
}

std::map<int, std::string> ReadPortAssignments(const std::string& file)
{
    std::ifstream in(file);
    std::map<int, std::string> assignments;
    std::string line;
    while (ReadLine(in, line)) {
        auto assignment = ParsePortAssignment(line);
        if (assignment)
            assignments[assignment->first] = std::move(assignment->second);
    }
    return assignments;
}

std::optional<std::pair<int, std::string>> ParsePortAssignment(std::string_view line)
{
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    const auto number = PortNumber(Trim(line.substr(0, equals)));
    const std::string_view path = Trim(line.substr(equals + 1));
    if (!number || path.empty() || path.front() != '/')
        return std::nullopt;
    return std::make_pair(*number, std::string(path));
}

std::map<int, std::string> PortOverrides()
{
    Overrides& overrides = CommandLineOverrides();
    std::lock_guard lock(overrides.mutex);
    return overrides.paths;
}

bool SetPortOverride(std::string_view assignment)
{
    auto parsed = ParsePortAssignment(assignment);
    if (!parsed)
        return false;
    Overrides& overrides = CommandLineOverrides();
    std::lock_guard lock(overrides.mutex);
    overrides.paths[parsed->first] = std::move(parsed->second);
    return true;
}

void ClearPortOverrides()
{
    Overrides& overrides = CommandLineOverrides();
    std::lock_guard lock(overrides.mutex);
    overrides.paths.clear();
}
