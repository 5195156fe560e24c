// The X connection dies while capturing. The toolkit then ends the process
// at once; before that the capture's tail must reach the file and the port
// get its settings back. The program runs in a death-test child, which has
// an X server of its own; wx is never started in this parent.
#include "tests/support/DocReceived.h"
#include "tests/support/PtyPair.h"
#include "tests/ui/support/EventPump.h"
#include "tests/ui/support/MainWindow.h"
#include "ui/ExitSignals.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <termios.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

// Last: its macros (None, Status) clash with the headers above.
#include <X11/Xlib.h>

namespace {

using namespace std::chrono_literals;

// In the child: connect, capture `sent`, then cut the X connection.
void CaptureThenLoseTheDisplay(const testsupport::PtyPair& pty, const std::filesystem::path& capture,
                               const std::string& sent)
{
    testsupport::MainWindow window;
    InstallExitHandlers();
    CTaliardDoc& doc = window.Doc();
    doc.m_settings.m_strPortName = std::wstring(pty.SlavePath().begin(), pty.SlavePath().end());
    if (doc.Connect() != 1)
        return;
    doc.SetCapturePath(capture.wstring());
    doc.SetCapture(true);
    if (write(pty.MasterFd(), sent.data(), sent.size()) != static_cast<ssize_t>(sent.size()))
        return;
    testsupport::PumpEventsUntil([&] { return testsupport::ReceivedTotal(doc) == sent.size(); }, 10s);
    shutdown(XConnectionNumber(static_cast<Display*>(wxGetDisplay())), SHUT_RDWR);
    testsupport::PumpEventsFor(5s);
}

TEST(LostDisplay, CaptureIsWrittenOutAndThePortRestoredBeforeTheEnd)
{
    testsupport::PtyPair pty;
    termios before {};
    ASSERT_EQ(tcgetattr(pty.MasterFd(), &before), 0);
    const auto capture = std::filesystem::temp_directory_path() / ("taliard-lost-display-" + std::to_string(getpid()) + ".dat");
    const std::string sent(1000, 'y'); // not a whole number of capture batches

    EXPECT_EXIT(CaptureThenLoseTheDisplay(pty, capture, sent), [](int status) { return WIFEXITED(status) != 0; }, "");

    std::ifstream in(capture, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), sent);
    termios after {};
    ASSERT_EQ(tcgetattr(pty.MasterFd(), &after), 0);
    EXPECT_EQ(cfgetospeed(&after), cfgetospeed(&before));
    EXPECT_EQ(after.c_cflag, before.c_cflag);
    std::filesystem::remove(capture);
}

} // namespace
