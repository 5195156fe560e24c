// The program's command line: --demo, --port COMn=PATH (repeatable),
// --list-ports, -h or --help, --version and an optional file name to open as
// the document.
// Pure, no window system; the UI thread calls it once at start-up.
#pragma once

#include <string>
#include <vector>

struct PortOverride {
    int nPort = 0; // n of COMn, 1 to 32
    std::string path;
};

struct CommandLineOptions {
    bool bDemo = false;
    bool bHelp = false;
    bool bListPorts = false;
    bool bVersion = false;
    // In the order given; when a port appears twice the later one is meant.
    std::vector<PortOverride> ports;
    std::string fileName; // empty when none was given
};

// arguments: everything after the program name. True with options filled,
// false with one line of error text (no newline) for standard error.
bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLineOptions& options,
                      std::string& error);
// "COMn=PATH" (any case of "com", n from 1 to 32, an absolute path).
bool ParsePortOverride(const std::string& text, PortOverride& portOverride);

// What --help and --version print, each ending in a newline.
std::string CommandLineHelpText();
std::string CommandLineVersionText();
