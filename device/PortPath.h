// Port names and where their mappings come from: "COM1".."COM32" (any case),
// `COMn=PATH` lines, the command-line overrides, and the folder of
// $XDG_CONFIG_HOME/taliard/ports.conf (default ~/.config/taliard), which the
// program only reads. The application sets overrides at start-up; any
// thread may read them. PortTable puts these together.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

constexpr int PORT_COUNT = 32;

// 1..32 for "COM1".."COM32" in any case, without leading zeros.
std::optional<int> PortNumber(std::string_view name);

// The port number and path of "COMn=PATH" (n from 1 to 32, any case of
// "com", an absolute PATH; blanks around either side are allowed).
std::optional<std::pair<int, std::string>> ParsePortAssignment(std::string_view assignment);

// Where ports.conf is; nothing when neither XDG_CONFIG_HOME nor HOME is an
// absolute path.
std::optional<std::string> ConfigFilePath();
// The assignments of a file of `COMn=PATH` lines (the last for a port
// wins; other lines are ignored); empty when it cannot be read.
std::map<int, std::string> ReadPortAssignments(const std::string& file);

// Records `COMn=PATH` from the command line (repeatable; the last for a
// port wins). False, recording nothing, when the text is not of that form
// or PATH is not absolute.
bool SetPortOverride(std::string_view assignment);
void ClearPortOverrides();
std::map<int, std::string> PortOverrides();
