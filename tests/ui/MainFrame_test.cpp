#include "ui/MainFrame.h"

#include "tests/ui/support/ChildRun.h"
#include "tests/ui/support/EventPump.h"
#include "tests/ui/support/PrivateDisplay.h"
#include "tests/ui/support/MainWindow.h"
#include "ui/AboutDlg.h"
#include "ui/MainAccelerators.h"
#include "ui/MainStatusBar.h"
#include "ui/Resource.h"
#include "ui/SerialConfigBar.h"

#include <wx/clipbrd.h>
#include <wx/display.h>
#include <wx/filehistory.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>
#include <wx/statusbr.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

class MainFrameTest : public ::testing::Test {
protected:
    testsupport::MainWindow m_window;
};

TEST_F(MainFrameTest, TheNewDocumentIsCaptionedWithItsNameAndTheWindowTitle)
{
    EXPECT_EQ(m_window.Frame().GetTitle(), "Quorvantelle - Taliard");
}

TEST_F(MainFrameTest, HasNoMenuBarNoToolbarAndAReadyStatusBarWithThreeIndicators)
{
    EXPECT_EQ(m_window.Frame().GetMenuBar(), nullptr);
    EXPECT_EQ(m_window.Frame().GetToolBar(), nullptr);
    wxStatusBar* statusBar = m_window.Frame().GetStatusBar();
    ASSERT_NE(statusBar, nullptr);
    ASSERT_EQ(statusBar->GetFieldsCount(), 4);
    EXPECT_EQ(statusBar->GetStatusText(CMainStatusBar::PANE_MESSAGE), "Ready");
}

TEST_F(MainFrameTest, IndicatorsShowTheirNameOnlyWhileTheLockIsOn)
{
    EXPECT_EQ(IndicatorText(CMainStatusBar::PANE_CAPS, true), "CAP");
    EXPECT_EQ(IndicatorText(CMainStatusBar::PANE_NUM, true), "NUM");
    EXPECT_EQ(IndicatorText(CMainStatusBar::PANE_SCROLL, true), "SCRL");
    EXPECT_EQ(IndicatorText(CMainStatusBar::PANE_CAPS, false), "");
}

TEST_F(MainFrameTest, CannotBeResizedByItsBorderButKeepsMinimiseAndMaximise)
{
    const wxSize size = m_window.Frame().GetSize();
    EXPECT_EQ(m_window.Frame().GetMinSize(), size);
    EXPECT_EQ(m_window.Frame().GetMaxSize(), size);
    EXPECT_TRUE(m_window.Frame().HasFlag(wxMINIMIZE_BOX));
    EXPECT_TRUE(m_window.Frame().HasFlag(wxMAXIMIZE_BOX));
    EXPECT_TRUE(m_window.Frame().HasFlag(wxCLOSE_BOX));
}

TEST_F(MainFrameTest, TheBarSitsDirectlyAboveTheStatusBarAndThePaneFillsTheRest)
{
    const wxSize client = m_window.Frame().GetClientSize();
    const wxRect pane = m_window.Pane().GetRect();
    const wxRect bar = m_window.Frame().GetConfigBar()->GetRect();
    EXPECT_EQ(pane.GetTopLeft(), wxPoint(0, 0));
    EXPECT_EQ(pane.width, client.x);
    EXPECT_EQ(bar.y, pane.GetBottom() + 1);
    EXPECT_EQ(bar.GetBottom() + 1, client.y);
    EXPECT_EQ(bar.width, client.x);
}

TEST_F(MainFrameTest, TheFrameFitsTheFormsSoNoControlIsHidden)
{
    const wxSize form = m_window.Pane().ConvertDialogToPixels(
        wxSize(CTaliardView::FORM_WIDTH_DLU, CTaliardView::FORM_HEIGHT_DLU));
    const wxSize barNeeds = m_window.Frame().GetConfigBar()->GetBestSize();
    EXPECT_EQ(m_window.Pane().GetSize().y, form.y);
    EXPECT_EQ(m_window.Pane().GetSize().x, std::max(form.x, barNeeds.x));
    EXPECT_GE(m_window.Frame().GetConfigBar()->GetSize().y, barNeeds.y);
    EXPECT_GE(m_window.Frame().GetConfigBar()->GetSize().x, barNeeds.x);
}

TEST_F(MainFrameTest, TheAcceleratorTableMapsTheKeysToTheirCommands)
{
    const wxAcceleratorTable* table = m_window.Frame().GetAcceleratorTable();
    ASSERT_NE(table, nullptr);
    for (const wxAcceleratorEntry& entry : MainAcceleratorEntries()) {
        wxKeyEvent key(wxEVT_KEY_DOWN);
        key.m_keyCode = entry.GetKeyCode();
        key.SetControlDown((entry.GetFlags() & wxACCEL_CTRL) != 0);
        key.SetAltDown((entry.GetFlags() & wxACCEL_ALT) != 0);
        key.SetShiftDown((entry.GetFlags() & wxACCEL_SHIFT) != 0);
        EXPECT_EQ(table->GetCommand(key), entry.GetCommand()) << "key " << entry.GetKeyCode();
    }
    EXPECT_EQ(MainAcceleratorEntries().size(), 14u);
}

TEST_F(MainFrameTest, KeysWithoutAHandlerAreUsedUpAndDoNothing)
{
    const wxString before = m_window.Frame().GetTitle();
    for (int id : CommandsWithoutHandler())
        EXPECT_TRUE(m_window.SendCommand(id)) << "command " << id;
    EXPECT_EQ(m_window.Frame().GetTitle(), before);
    EXPECT_EQ(wxTopLevelWindows.size(), 1u);
}

std::string ClipboardText()
{
    wxClipboardLocker locker;
    wxTextDataObject text;
    return !!locker && wxTheClipboard->GetData(text) ? text.GetText().ToStdString() : std::string();
}

TEST_F(MainFrameTest, CtrlCInATextFieldOfTheBarDoesNotCopy)
{
    auto* field = dynamic_cast<wxTextCtrl*>(m_window.Frame().GetConfigBar()->FindWindow(IDC_EDIT_SEND_TEXT));
    ASSERT_NE(field, nullptr);
    {
        wxClipboardLocker locker;
        ASSERT_FALSE(!locker);
        wxTheClipboard->SetData(new wxTextDataObject("on the clipboard before"));
    }
    ASSERT_TRUE(testsupport::GiveKeyboardFocus(*field));
    field->ChangeValue("selected text");
    field->SelectAll();

    wxUIActionSimulator keyboard;
    keyboard.Char('c', wxMOD_CONTROL);
    // A plain key replaces the selection: the keys do reach the field.
    keyboard.Char('z');
    ASSERT_TRUE(testsupport::PumpEventsUntil([&] { return field->GetValue() == "z"; }, 5s)) << field->GetValue();
    EXPECT_EQ(ClipboardText(), "on the clipboard before");
}

TEST_F(MainFrameTest, TheAboutCommandShowsTheAboutBoxModally)
{
    bool bShown = false;
    // Runs inside the box's modal loop.
    m_window.Frame().CallAfter([&bShown] {
        for (wxWindow* window : wxTopLevelWindows) {
            if (auto* about = dynamic_cast<CAboutDlg*>(window); about && about->IsModal()) {
                bShown = true;
                about->EndModal(wxID_OK);
            }
        }
    });
    EXPECT_TRUE(m_window.SendCommand(wxID_ABOUT));
    EXPECT_TRUE(bShown);
}

TEST_F(MainFrameTest, NewRenewsTheSameDocumentAndTheBarKeepsIt)
{
    CTaliardDoc* doc = &m_window.Doc();
    m_window.Pane().ChangeValue("typed");
    doc->m_sendPath = L"/tmp/x.bin";

    EXPECT_TRUE(m_window.SendCommand(wxID_NEW));

    EXPECT_EQ(&m_window.Doc(), doc);
    EXPECT_EQ(m_window.Frame().GetDocument(), doc);
    EXPECT_EQ(m_window.Frame().GetConfigBar()->GetDocument(), doc);
    EXPECT_TRUE(doc->m_sendPath.empty());
    EXPECT_EQ(m_window.Pane().GetValue(), "");
    EXPECT_EQ(m_window.Frame().GetTitle(), "Quorvantelle - Taliard");
}

TEST_F(MainFrameTest, OpeningAFileNamesTheCaptionAndTheRecentFileList)
{
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("taliard-open-" + std::to_string(::getpid()) + ".bin");
    std::ofstream(file) << "ignored";
    CTaliardDoc* doc = &m_window.Doc();

    EXPECT_EQ(m_window.Manager().CreateDocument(file.string(), 0), doc);
    EXPECT_EQ(m_window.Frame().GetTitle(), file.filename().string() + " - Taliard");
    EXPECT_EQ(m_window.Manager().GetFileHistory()->GetHistoryFile(0), file.string());
    EXPECT_EQ(m_window.Frame().GetConfigBar()->GetDocument(), doc);

    // New gives the new-document caption back.
    EXPECT_TRUE(m_window.SendCommand(wxID_NEW));
    EXPECT_EQ(m_window.Frame().GetTitle(), "Quorvantelle - Taliard");
    std::filesystem::remove(file);
}

TEST_F(MainFrameTest, SavingNamesTheCaptionWithTheFileAsChosen)
{
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("taliard-save-" + std::to_string(::getpid()));
    CTaliardDoc* doc = &m_window.Doc();

    ASSERT_TRUE(m_window.Manager().SaveDocumentTo(*doc, file.string()));
    // No extension is added to a name chosen without one.
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(std::filesystem::file_size(file), 0u);
    EXPECT_EQ(m_window.Frame().GetTitle(), file.filename().string() + " - Taliard");
    EXPECT_EQ(m_window.Manager().GetFileHistory()->GetHistoryFile(0), file.string());
    // Saving again writes to the same file without asking.
    EXPECT_TRUE(m_window.SendCommand(wxID_SAVE));
    EXPECT_EQ(wxTopLevelWindows.size(), 1u);
    std::filesystem::remove(file);
}

TEST_F(MainFrameTest, TheRecentFileListHoldsFourFiles)
{
    EXPECT_EQ(m_window.Manager().GetFileHistory()->GetMaxFiles(), 4);
}

// On this screen; the test below runs it again on smaller ones.
TEST(MainFrameOnThisScreen, FitsTheWorkAreaWithTheBarsWhole)
{
    testsupport::MainWindow window;
    CMainFrame& frame = window.Frame();
    const wxRect workArea = wxDisplay(0u).GetClientArea();
    EXPECT_TRUE(workArea.Contains(frame.GetRect())) << frame.GetRect().x << "," << frame.GetRect().y << " "
                                                     << frame.GetSize().x << "x" << frame.GetSize().y;
    const wxRect client(wxPoint(0, 0), frame.GetClientSize());
    const CSerialConfigBar* bar = frame.GetConfigBar();
    EXPECT_TRUE(client.Contains(bar->GetRect()));
    EXPECT_EQ(bar->GetSize(), bar->GetMinSize());
    EXPECT_EQ(frame.GetStatusBar()->GetSize().x, frame.GetClientSize().x);
    EXPECT_GE(window.Pane().GetClientSize().y, 8 * window.Pane().GetCharHeight());
}

TEST(MainFrameScreens, TheWindowFitsSmallScreens)
{
    for (const char* screen : { "1366x768", "1280x720" }) {
        std::string output;
        EXPECT_EQ(testsupport::RunThisProgram(std::string(testsupport::SCREEN_VARIABLE) + "=" + screen,
                                              "MainFrameOnThisScreen.*", output), 0)
            << screen << ":\n" << output;
    }
}

} // namespace
