// SIGTERM while capturing: the window closes as its close box does, so the
// capture's tail reaches the file and the port gets its settings back, even
// while a message box waits for an answer.
#include "tests/support/DocReceived.h"
#include "tests/support/PtyPair.h"
#include "tests/ui/support/EventPump.h"
#include "tests/ui/support/MainWindow.h"
#include "platform/UiHooks.h"
#include "ui/ExitSignals.h"

#include <gtest/gtest.h>
#include <termios.h>
#include <wx/app.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

class ExitSignals : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(tcgetattr(m_pty.MasterFd(), &m_before), 0);
        std::filesystem::remove(m_capture);
        m_window = std::make_unique<testsupport::MainWindow>();
        InstallExitHandlers();
        CTaliardDoc& doc = m_window->Doc();
        doc.m_settings.m_strPortName = std::wstring(m_pty.SlavePath().begin(), m_pty.SlavePath().end());
        ASSERT_EQ(doc.Connect(), 1);
        doc.SetCapturePath(m_capture.wstring());
        doc.SetCapture(true);
        ASSERT_TRUE(m_pty.WriteToPort(m_sent));
        ASSERT_TRUE(testsupport::PumpEventsUntil([&] { return testsupport::ReceivedTotal(doc) == m_sent.size(); }, 10s));
        termios during {};
        ASSERT_EQ(tcgetattr(m_pty.MasterFd(), &during), 0);
        ASSERT_NE(cfgetospeed(&during), cfgetospeed(&m_before));
        m_frame = &m_window->Frame();
    }

    void TearDown() override
    {
        m_window.reset();
        std::filesystem::remove(m_capture);
    }

    // The whole capture is in the file and the port has its settings back.
    bool Released()
    {
        std::ifstream in(m_capture, std::ios::binary);
        termios now {};
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()) == m_sent
            && tcgetattr(m_pty.MasterFd(), &now) == 0 && cfgetospeed(&now) == cfgetospeed(&m_before)
            && now.c_cflag == m_before.c_cflag;
    }

    testsupport::PtyPair m_pty;
    termios m_before {};
    const std::filesystem::path m_capture = std::filesystem::temp_directory_path()
        / ("taliard-signal-" + std::to_string(getpid()) + ".dat");
    const std::string m_sent = std::string(1000, 'x'); // not a whole number of capture batches
    std::unique_ptr<testsupport::MainWindow> m_window;
    wxWeakRef<CMainFrame> m_frame;
};

TEST_F(ExitSignals, SigtermClosesTheWindowWritingTheCaptureAndRestoringThePort)
{
    ASSERT_EQ(raise(SIGTERM), 0);
    EXPECT_TRUE(testsupport::PumpEventsUntil([&] { return !m_frame; }, 10s));
    EXPECT_TRUE(Released());
}

// Nobody may be there to answer the box: the port and the capture are
// released at once, and the window closes once the box is gone.
TEST_F(ExitSignals, SigtermUnderAMessageBoxReleasesAtOnceAndClosesAfterIt)
{
    bool releasedUnderTheBox = false;
    wxTimer poll;
    poll.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (releasedUnderTheBox || !Released())
            return;
        releasedUnderTheBox = true;
        wxUIActionSimulator().Char(WXK_ESCAPE);
    });
    poll.Start(20);
    wxTheApp->CallAfter([] { platform::ShowMessageBox(L"box"); });
    wxTheApp->CallAfter([] { raise(SIGTERM); });
    EXPECT_TRUE(testsupport::PumpEventsUntil([&] { return !m_frame; }, 10s));
    EXPECT_TRUE(releasedUnderTheBox);
}

} // namespace
