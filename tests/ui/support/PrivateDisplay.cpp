#include "tests/ui/support/PrivateDisplay.h"

#include "tests/ui/support/EventPump.h"

#include <wx/app.h>
#include <wx/toplevel.h>
#include <wx/window.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace testsupport {
namespace {

using namespace std::chrono_literals;

constexpr const char* XVFB = "/usr/bin/Xvfb";
constexpr int START_TIMEOUT_MS = 10000;

// The running server; stopped when the process exits, after wx has let go
// of the display (its session was started later, so it ends first).
class XvfbServer {
public:
    XvfbServer()
    {
        if (::access(XVFB, X_OK) != 0)
            throw std::runtime_error("Xvfb is missing: install the Debian package xvfb");
        int pipeFds[2];
        if (::pipe(pipeFds) != 0)
            throw std::runtime_error("pipe() for Xvfb failed");
        const int devNull = ::open("/dev/null", O_RDWR | O_CLOEXEC);
        const std::string displayFd = std::to_string(pipeFds[1]);
        const char* screen = std::getenv(SCREEN_VARIABLE);
        const std::string geometry = std::string(screen && *screen ? screen : "1280x1024") + "x24";
        m_pid = ::fork();
        if (m_pid == 0) {
            // The server must not outlive a test that is killed.
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            ::dup2(devNull, STDOUT_FILENO);
            ::dup2(devNull, STDERR_FILENO);
            ::close(pipeFds[0]);
            ::execl(XVFB, XVFB, "-displayfd", displayFd.c_str(), "-screen", "0", geometry.c_str(), "-nolisten",
                    "tcp", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(pipeFds[1]);
        ::close(devNull);
        if (m_pid < 0) {
            ::close(pipeFds[0]);
            throw std::runtime_error("fork() for Xvfb failed");
        }
        m_display = ReadDisplayNumber(pipeFds[0]);
        ::close(pipeFds[0]);
        if (m_display.empty()) {
            Stop();
            throw std::runtime_error("Xvfb did not start (Debian package xvfb)");
        }
    }
    ~XvfbServer() { Stop(); }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    const std::string& Display() const { return m_display; }

private:
    static std::string ReadDisplayNumber(int fd)
    {
        std::string number;
        for (;;) {
            pollfd pfd { fd, POLLIN, 0 };
            if (::poll(&pfd, 1, START_TIMEOUT_MS) <= 0)
                return std::string();
            char ch = 0;
            if (::read(fd, &ch, 1) != 1)
                return std::string();
            if (ch == '\n')
                return number.empty() ? std::string() : ":" + number;
            number.push_back(ch);
        }
    }

    void Stop()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
            m_pid = -1;
        }
    }

    pid_t m_pid = -1;
    std::string m_display;
};

} // namespace

void UsePrivateDisplay()
{
    if (wxTheApp != nullptr)
        return;
    static XvfbServer server;
    ::setenv("DISPLAY", server.Display().c_str(), 1);
}

bool GiveKeyboardFocus(wxWindow& window)
{
    wxGetTopLevelParent(&window)->Raise();
    window.SetFocus();
    return PumpEventsUntil([&] { return wxWindow::FindFocus() == &window; }, 5s);
}

} // namespace testsupport
