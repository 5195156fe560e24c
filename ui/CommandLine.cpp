#include "ui/CommandLine.h"

#include "device/PortPath.h"

#include <utility>

namespace {

std::string TryHelp(const std::string& text)
{
    return "taliard: " + text + " (try --help)";
}

} // namespace

bool ParsePortOverride(const std::string& text, PortOverride& portOverride)
{
    auto assignment = ParsePortAssignment(text);
    if (!assignment)
        return false;
    portOverride.nPort = assignment->first;
    portOverride.path = std::move(assignment->second);
    return true;
}

bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLineOptions& options,
                      std::string& error)
{
    options = CommandLineOptions();
    bool bOptionsEnded = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!bOptionsEnded && argument == "--") {
            bOptionsEnded = true;
            continue;
        }
        if (bOptionsEnded || argument.empty() || argument[0] != '-') {
            if (argument.empty()) {
                error = TryHelp("empty argument");
                return false;
            }
            if (!options.fileName.empty()) {
                error = "taliard: more than one file name: '" + options.fileName + "' and '" + argument + "'";
                return false;
            }
            options.fileName = argument;
            continue;
        }
        const size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const bool bHasValue = equals != std::string::npos;
        if (name == "--port") {
            std::string value;
            if (bHasValue) {
                value = argument.substr(equals + 1);
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            } else {
                error = TryHelp("option '--port' needs COMn=PATH");
                return false;
            }
            PortOverride portOverride;
            if (!ParsePortOverride(value, portOverride)) {
                error = "taliard: bad port mapping '" + value + "': expected COMn=PATH with n from 1 to 32 and an absolute PATH";
                return false;
            }
            options.ports.push_back(portOverride);
            continue;
        }
        bool* flag = name == "--demo" ? &options.bDemo
                   : name == "--help" || name == "-h" ? &options.bHelp
                   : name == "--list-ports" ? &options.bListPorts
                   : name == "--version" ? &options.bVersion
                                         : nullptr;
        if (flag == nullptr) {
            error = TryHelp("unknown option '" + argument + "'");
            return false;
        }
        if (bHasValue) {
            error = TryHelp("option '" + name + "' takes no value");
            return false;
        }
        *flag = true;
    }
    return true;
}

std::string CommandLineHelpText()
{
    return "Usage: taliard [OPTION]... [FILE]\n"
           "A serial-port terminal. FILE, if given, is opened as the document.\n"
           "The window's labels are in Chinese; press 连接串口 to connect the port.\n"
           "\n"
           "  --demo              map COM1 to a built-in demo board; then press\n"
           "                      连接串口 (connect) with COM1 selected\n"
           "  --port COMn=PATH    use the device at the absolute PATH as port COMn\n"
           "                      (n from 1 to 32); may be given more than once\n"
           "  --list-ports        print the COM names that lead to a device: path,\n"
           "                      description and where the mapping came from; exit\n"
           "  -h, --help          print this help and exit\n"
           "  --version           print the version and exit\n"
           "\n"
           "A port without --port is looked up in $XDG_CONFIG_HOME/taliard/ports.conf\n"
           "(lines COMn=PATH), then in ports-auto.conf beside it (the COM numbers given\n"
           "to new devices the first time they were seen), and otherwise is\n"
           "/dev/ttyS<n-1> when that UART is real.\n"
           "Exit status: 0 after the window is closed or a listing, 2 for a bad command\n"
           "line, another non-zero value when the program cannot start.\n";
}

std::string CommandLineVersionText()
{
    return "Taliard " TALIARD_VERSION "\n";
}
