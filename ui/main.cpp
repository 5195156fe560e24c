// The program's entry: our own options are handled before the window system
// starts, so --help, --version and a bad option work without a display.
#include "demo/CDemoBoard.h"
#include "device/PortPath.h"
#include "device/PortTable.h"
#include "ui/CommandLine.h"
#include "ui/StartupLocale.h"
#include "ui/TaliardApp.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

wxIMPLEMENT_APP_NO_MAIN(CTaliardApp);

int main(int argc, char** argv)
{
    CommandLineOptions options;
    std::string error;
    if (!ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    if (options.bHelp || options.bVersion) {
        std::fputs((options.bHelp ? CommandLineHelpText() : CommandLineVersionText()).c_str(), stdout);
        return 0;
    }
    if (const std::string warning = UseLocaleFromEnvironment(); !warning.empty())
        std::fprintf(stderr, "%s\n", warning.c_str());
    for (const PortOverride& port : options.ports)
        SetPortOverride("COM" + std::to_string(port.nPort) + "=" + port.path);
    if (options.bListPorts) {
        std::fputs(PortListText().c_str(), stdout);
        return 0;
    }

    // Outlives the window, so the document has released the port before the
    // board goes away.
    std::unique_ptr<CDemoBoard> board;
    if (options.bDemo) {
        board = CDemoBoard::Create(error);
        if (!board) {
            std::fprintf(stderr, "taliard: no demo board: %s\n", error.c_str());
            return 1;
        }
    }
    CTaliardApp::SetStartupFile(options.fileName);
    // Nothing here draws with OpenGL; without this the toolkit probes for it
    // at start-up and maps the whole GL driver (10 MiB of heap, slower start).
    // A value the user set stands.
    setenv("GDK_GL", "disable", 0);

    // The window system sees no arguments of ours.
    int wxArgc = 1;
    char* wxArgv[] = { argv[0], nullptr };
    return wxEntry(wxArgc, wxArgv);
}
