// What each of COM1..COM32 means on this machine. A name resolves through,
// in order: a --port override, a ports.conf line, an automatic assignment,
// then /dev/ttyS<n-1> when that UART is real. A device found without a COM
// number gets the lowest free one the first time it is seen, kept in
// ports-auto.conf beside ports.conf (the user's file is never written).
// Any thread; discovery and the automatic file are serialised inside.
#pragma once

#include <optional>
#include <string>

enum class PortSource { CommandLine, UserFile, Automatic, Default };

struct PortMapping {
    std::string path;
    PortSource source = PortSource::Default;
};

// The mapping of COMn (n from 1 to PORT_COUNT); nothing when no rule gives
// it a device. Assigns numbers to new devices first when COMn has no
// mapping of its own.
std::optional<PortMapping> ResolvePort(int number);

// A COM name resolved to its device path; an absolute path as it stands
// (Linux paths are case-sensitive). Nothing for other names and for COM
// names no rule maps.
std::optional<std::string> ResolvePortPath(const std::wstring& portName);

// Where the automatic assignments are kept; nothing without a config folder.
std::optional<std::string> AutomaticPortsFilePath();

// One line per COM name that leads to an existing device: name, path,
// description, and where the mapping came from. Assigns new devices first.
std::string PortListText();

// For the port list's tool tip: "COM3: /dev/serial/by-id/..." or a note
// that no device answers to the name.
std::wstring PortChoiceText(const std::wstring& portName);
