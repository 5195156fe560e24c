// SIGTERM while capturing: the window closes as its close box does, so the
// capture's tail reaches the file and the port gets its settings back.
#include "tests/support/PtyPair.h"
#include "tests/ui/support/EventPump.h"
#include "tests/ui/support/MainWindow.h"
#include "ui/ExitSignals.h"

#include <gtest/gtest.h>
#include <termios.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

TEST(ExitSignals, SigtermClosesTheWindowWritingTheCaptureAndRestoringThePort)
{
    testsupport::PtyPair pty;
    termios before {};
    ASSERT_EQ(tcgetattr(pty.MasterFd(), &before), 0);
    const auto capture = std::filesystem::temp_directory_path() / ("taliard-signal-" + std::to_string(getpid()) + ".dat");
    auto window = std::make_unique<testsupport::MainWindow>();
    InstallExitHandlers();

    CTaliardDoc& doc = window->Doc();
    doc.m_settings.m_strPortName = std::wstring(pty.SlavePath().begin(), pty.SlavePath().end());
    ASSERT_EQ(doc.Connect(), 1);
    doc.SetCapturePath(capture.wstring());
    doc.SetCapture(true);
    const std::string sent(1000, 'x'); // not a whole number of capture batches
    ASSERT_TRUE(pty.WriteToPort(sent));
    ASSERT_TRUE(testsupport::PumpEventsUntil([&] {
        CCriticalSectionFuncation guard(doc.ReceiveLock());
        return doc.ReceiveTotal() == sent.size();
    }, 10s));
    termios during {};
    ASSERT_EQ(tcgetattr(pty.MasterFd(), &during), 0);
    ASSERT_NE(cfgetospeed(&during), cfgetospeed(&before));

    const wxWeakRef<CMainFrame> frame = &window->Frame();
    ASSERT_EQ(raise(SIGTERM), 0);
    EXPECT_TRUE(testsupport::PumpEventsUntil([&] { return !frame; }, 10s));

    std::ifstream in(capture, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), sent);
    termios after {};
    ASSERT_EQ(tcgetattr(pty.MasterFd(), &after), 0);
    EXPECT_EQ(cfgetospeed(&after), cfgetospeed(&before));
    EXPECT_EQ(after.c_cflag, before.c_cflag);
    window.reset();
    std::filesystem::remove(capture);
}

} // namespace
