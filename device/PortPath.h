// Port names to device paths: "COM1".."COM32" (any case) through a command-
// line override, then $XDG_CONFIG_HOME/taliard/ports.conf (default
// ~/.config/taliard/ports.conf, read only), else /dev/ttyS<n-1>; an absolute
// path as it stands. The application sets overrides at start-up; any thread
// may resolve.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

// No value when the name is neither COM1..COM32 nor an absolute path.
std::optional<std::string> ResolvePortPath(const std::wstring& portName);

// The port number and path of "COMn=PATH" (n from 1 to 32, any case of
// "com", an absolute PATH; blanks around either side are allowed).
std::optional<std::pair<int, std::string>> ParsePortAssignment(std::string_view assignment);

// Records `COMn=PATH` from the command line (repeatable; the last for a
// port wins). False, recording nothing, when the text is not of that form
// or PATH is not absolute.
bool SetPortOverride(std::string_view assignment);
void ClearPortOverrides();
