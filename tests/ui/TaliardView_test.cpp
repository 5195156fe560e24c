#include "ui/TaliardView.h"

#include "device/PortPath.h"
#include "tests/support/PtyPair.h"
#include "tests/ui/support/EventPump.h"
#include "tests/ui/support/PrivateDisplay.h"
#include "tests/ui/support/MainWindow.h"

#include <wx/clipbrd.h>
#include <wx/uiaction.h>

#include <gtk/gtk.h>

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

// The main window with COM1 connected to a pseudo-terminal; the test plays
// the board on its master side.
class TaliardViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SetPortOverride("COM1=" + m_pty.SlavePath()));
        ASSERT_EQ(m_window.Doc().Connect(), 1) << m_window.Doc().GetLastConnectError();
    }
    void TearDown() override { ClearPortOverrides(); }

    ReceivePane& Pane() { return m_window.Pane(); }
    std::string PaneText() { return Pane().GetValue().ToStdString(); }
    // What the pane put on the clipboard and the primary selection: this test
    // program never shuts the toolkit down, which would free them.
    static void ForgetClipboards()
    {
        wxTheClipboard->Clear();
        wxTheClipboard->UsePrimarySelection(true);
        wxTheClipboard->Clear();
        wxTheClipboard->UsePrimarySelection(false);
    }

    // Pumps events until the pane shows `expected`; returns every distinct
    // text the pane showed on the way, the first (as it was) included.
    std::vector<std::string> WatchPaneUntil(const std::string& expected)
    {
        std::vector<std::string> seen { PaneText() };
        testsupport::PumpEventsUntil([&] {
            if (PaneText() != seen.back())
                seen.push_back(PaneText());
            return seen.back() == expected;
        }, 10s);
        return seen;
    }

    void TypeIntoPane(int keyCode, int unicodeKey)
    {
        wxKeyEvent key(wxEVT_CHAR);
        key.m_keyCode = keyCode;
        key.m_uniChar = static_cast<wxChar>(unicodeKey);
        key.SetEventObject(&Pane());
        key.SetId(Pane().GetId());
        Pane().GetEventHandler()->ProcessEvent(key);
    }

    // The focus events the pane gets when the user clicks into it or away.
    void SendFocusEvent(wxEventType type)
    {
        wxFocusEvent focus(type, Pane().GetId());
        focus.SetEventObject(&Pane());
        Pane().GetEventHandler()->ProcessEvent(focus);
    }

    static std::string Pattern(size_t length)
    {
        std::string text;
        for (size_t i = 0; i < length; ++i)
            text.push_back(i % 64 == 63 ? '\n' : static_cast<char>('A' + (i / 64) % 26));
        return text;
    }

    testsupport::PtyPair m_pty;
    testsupport::MainWindow m_window;
};

TEST_F(TaliardViewTest, ABurstShowsUpOnceAfterThePauseWithTheCaretAtTheEnd)
{
    const std::string burst = "boot: U-Boot 2024.01\nDRAM: 512 MiB\nHit any key to stop autoboot\n";
    ASSERT_EQ(PaneText(), "");
    ASSERT_TRUE(m_pty.WriteToPort(burst));

    const std::vector<std::string> seen = WatchPaneUntil(burst);
    EXPECT_EQ(seen, (std::vector<std::string> { "", burst }));
    EXPECT_EQ(Pane().GetInsertionPoint(), Pane().GetLastPosition());
    long from = 0;
    long to = 0;
    Pane().GetSelection(&from, &to);
    EXPECT_EQ(from, to);

    // What a screen reader reads.
    AtkObject* accessible = gtk_widget_get_accessible(Pane().m_wxwindow);
    ASSERT_TRUE(ATK_IS_TEXT(accessible));
    gchar* read = atk_text_get_text(ATK_TEXT(accessible), 0, -1);
    EXPECT_EQ(std::string(read), burst);
    g_free(read);
}

TEST_F(TaliardViewTest, ALongTextIsScrolledToItsEnd)
{
    ASSERT_TRUE(m_pty.WriteToPort(Pattern(64 * 200)));
    ASSERT_EQ(WatchPaneUntil(Pattern(64 * 200)).back(), Pattern(64 * 200));
    EXPECT_TRUE(testsupport::PumpEventsUntil([&] {
        const int range = Pane().GetScrollRange(wxVERTICAL);
        return range > 0 && Pane().GetScrollPos(wxVERTICAL) + Pane().GetScrollThumb(wxVERTICAL) >= range;
    }, 5s)) << "pos " << Pane().GetScrollPos(wxVERTICAL) << " thumb " << Pane().GetScrollThumb(wxVERTICAL)
            << " range " << Pane().GetScrollRange(wxVERTICAL);
}

TEST_F(TaliardViewTest, ATrimmedBufferDropsItsOldestTextFromThePaneInOneStep)
{
    const std::string full = Pattern(20480);
    ASSERT_TRUE(m_pty.WriteToPort(full));
    ASSERT_EQ(WatchPaneUntil(full).back(), full);

    ASSERT_TRUE(m_pty.WriteToPort("!"));
    const std::string kept = (full + "!").substr(10240);
    ASSERT_EQ(kept.size(), 10241u);
    const std::vector<std::string> seen = WatchPaneUntil(kept);
    EXPECT_EQ(seen, (std::vector<std::string> { full, kept }));
}

TEST_F(TaliardViewTest, ZeroBytesAreNotShown)
{
    ASSERT_TRUE(m_pty.WriteToPort(std::string("a\0b\0\0c", 6)));
    EXPECT_EQ(WatchPaneUntil("abc").back(), "abc");
}

TEST_F(TaliardViewTest, CharactersTypedIntoTheFocusedPaneGoOutOneByteEach)
{
    SendFocusEvent(wxEVT_SET_FOCUS);
    ASSERT_TRUE(m_window.View().IsTyping());

    TypeIntoPane('A', 'A');
    TypeIntoPane('b', 'b');
    TypeIntoPane(WXK_RETURN, WXK_RETURN);
    TypeIntoPane(WXK_BACK, WXK_BACK);
    TypeIntoPane(0, 0xE9);   // é
    TypeIntoPane(0, 0x4E2D); // 中: only its low 8 bits
    TypeIntoPane(WXK_LEFT, WXK_NONE);
    TypeIntoPane(WXK_DELETE, WXK_DELETE);

    EXPECT_EQ(m_pty.ReadUntilQuiet(100ms), (std::vector<uint8_t> { 'A', 'b', 0x0D, 0x08, 0xE9, 0x2D }));
}

TEST_F(TaliardViewTest, KeysPressedOnTheKeyboardReachTheLineAndThePane)
{
    ASSERT_TRUE(testsupport::GiveKeyboardFocus(Pane()));
    wxUIActionSimulator keyboard;
    keyboard.Char('o');
    keyboard.Char('k');
    keyboard.Char(WXK_RETURN);

    // Return goes to the pane as a character too.
    EXPECT_TRUE(testsupport::PumpEventsUntil([&] { return PaneText() == "ok\n"; }, 5s)) << PaneText();
    EXPECT_EQ(m_pty.ReadUntilQuiet(100ms), (std::vector<uint8_t> { 'o', 'k', 0x0D }));
}

TEST_F(TaliardViewTest, NothingIsSentWhileThePaneDoesNotHaveTheFocus)
{
    SendFocusEvent(wxEVT_KILL_FOCUS);
    TypeIntoPane('w', 'w');
    SendFocusEvent(wxEVT_SET_FOCUS);
    SendFocusEvent(wxEVT_KILL_FOCUS);
    EXPECT_FALSE(m_window.View().IsTyping());
    TypeIntoPane('x', 'x');
    EXPECT_TRUE(m_pty.ReadUntilQuiet(100ms).empty());
}

TEST_F(TaliardViewTest, ANewDocumentEmptiesThePaneAndTypingGoesOnWhileItKeepsTheFocus)
{
    ASSERT_TRUE(m_pty.WriteToPort("old text"));
    ASSERT_EQ(WatchPaneUntil("old text").back(), "old text");
    SendFocusEvent(wxEVT_SET_FOCUS);

    EXPECT_TRUE(m_window.SendCommand(wxID_NEW));
    EXPECT_EQ(PaneText(), "");
    EXPECT_TRUE(m_window.View().IsTyping());
    TypeIntoPane('k', 'k');
    EXPECT_EQ(m_pty.ReadUntilQuiet(100ms), (std::vector<uint8_t> { 'k' }));
}

TEST_F(TaliardViewTest, ALaterBurstIsAddedBehindWhatIsShownWithTheCaretAtTheEnd)
{
    ASSERT_TRUE(m_pty.WriteToPort("first line\r\n"));
    ASSERT_EQ(WatchPaneUntil("first line\r\n").back(), "first line\r\n");
    // As a click into the text would: the caret moves, the text stays.
    Pane().SetInsertionPoint(0);
    ASSERT_TRUE(m_pty.WriteToPort("second line\r\n"));
    const std::vector<std::string> seen = WatchPaneUntil("first line\r\nsecond line\r\n");
    EXPECT_EQ(seen, (std::vector<std::string> { "first line\r\n", "first line\r\nsecond line\r\n" }));
    EXPECT_EQ(Pane().GetInsertionPoint(), Pane().GetLastPosition());
}

TEST_F(TaliardViewTest, TextTypedIntoThePaneVanishesAtTheNextRefresh)
{
    ASSERT_TRUE(m_pty.WriteToPort("abc"));
    ASSERT_EQ(WatchPaneUntil("abc").back(), "abc");
    ASSERT_TRUE(testsupport::GiveKeyboardFocus(Pane()));
    wxUIActionSimulator keyboard;
    keyboard.Char('z');
    ASSERT_TRUE(testsupport::PumpEventsUntil([&] { return PaneText() == "abcz"; }, 5s)) << PaneText();
    EXPECT_EQ(m_pty.ReadUntilQuiet(100ms), (std::vector<uint8_t> { 'z' }));

    ASSERT_TRUE(m_pty.WriteToPort("d"));
    EXPECT_EQ(WatchPaneUntil("abcd").back(), "abcd");

    // An edit of the received text is put right as well.
    keyboard.Char(WXK_BACK);
    ASSERT_TRUE(testsupport::PumpEventsUntil([&] { return PaneText() == "abc"; }, 5s)) << PaneText();
    ASSERT_TRUE(m_pty.WriteToPort("e"));
    EXPECT_EQ(WatchPaneUntil("abcde").back(), "abcde");
}

TEST_F(TaliardViewTest, ALineSelectedWithTheKeyboardIsCopiedFromTheMenuAndStays)
{
    ASSERT_TRUE(m_pty.WriteToPort("first line\r\nU-Boot> "));
    ASSERT_EQ(WatchPaneUntil("first line\r\nU-Boot> ").back(), "first line\r\nU-Boot> ");
    wxKeyEvent home(wxEVT_CHAR);
    home.m_keyCode = WXK_HOME;
    home.m_shiftDown = true;
    Pane().GetEventHandler()->ProcessEvent(home);
    long from = 0;
    long to = 0;
    Pane().GetSelection(&from, &to);
    EXPECT_EQ(Pane().GetRange(from, to), "U-Boot> ");

    wxCommandEvent copy(wxEVT_MENU, wxID_COPY);
    Pane().GetEventHandler()->ProcessEvent(copy);
    ASSERT_TRUE(wxTheClipboard->Open());
    wxTextDataObject copied;
    EXPECT_TRUE(wxTheClipboard->GetData(copied));
    wxTheClipboard->Close();
    EXPECT_EQ(copied.GetText(), "U-Boot> ");
    EXPECT_EQ(PaneText(), "first line\r\nU-Boot> ");
    ForgetClipboards();
}

TEST_F(TaliardViewTest, SelectingAllWithTheCaretAtTheEndRepaintsTheText)
{
    ASSERT_TRUE(m_pty.WriteToPort("U-Boot> "));
    ASSERT_EQ(WatchPaneUntil("U-Boot> ").back(), "U-Boot> ");
    testsupport::PumpEventsFor(100ms);
    GdkWindow* window = gtk_widget_get_window(Pane().m_wxwindow);
    cairo_region_destroy(gdk_window_get_update_area(window));

    wxKeyEvent selectAll(wxEVT_CHAR);
    selectAll.m_keyCode = WXK_CONTROL_A;
    selectAll.m_controlDown = true;
    Pane().GetEventHandler()->ProcessEvent(selectAll);
    long from = 0;
    long to = 0;
    Pane().GetSelection(&from, &to);
    EXPECT_EQ(Pane().GetRange(from, to), "U-Boot> ");
    cairo_region_t* pending = gdk_window_get_update_area(window);
    ForgetClipboards();
    ASSERT_NE(pending, nullptr) << "the highlight is not drawn until something else repaints";
    cairo_region_destroy(pending);
}

TEST_F(TaliardViewTest, ACharacterSplitAcrossRefreshesShowsAsTheWholeBufferDecodes)
{
    const char* previous = std::setlocale(LC_CTYPE, nullptr);
    const std::string restore = previous ? previous : "C";
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr) << "the C.UTF-8 locale is missing (Debian package libc-bin)";
    const auto paneShows = [&](const std::wstring& text) {
        return testsupport::PumpEventsUntil([&] { return Pane().GetValue().ToStdWstring() == text; }, 5s);
    };
    ASSERT_TRUE(m_pty.WriteToPort("ok \xe4\xb8"));
    EXPECT_TRUE(paneShows(L"ok \ufffd"));
    ASSERT_TRUE(m_pty.WriteToPort("\xad!"));
    EXPECT_TRUE(paneShows(L"ok \u4e2d!")) << Pane().GetValue();
    std::setlocale(LC_CTYPE, restore.c_str());
}

TEST(TypedKeyTest, OnlyKeysThatTypeACharacterSendAByte)
{
    EXPECT_EQ(ByteForTypedKey('a', 'a'), std::optional<uint8_t>('a'));
    EXPECT_EQ(ByteForTypedKey(WXK_RETURN, WXK_RETURN), std::optional<uint8_t>(0x0D));
    EXPECT_EQ(ByteForTypedKey(WXK_ESCAPE, WXK_ESCAPE), std::optional<uint8_t>(0x1B));
    EXPECT_EQ(ByteForTypedKey(1, 1), std::optional<uint8_t>(0x01)); // Ctrl+A
    EXPECT_EQ(ByteForTypedKey(0, 0x20AC), std::optional<uint8_t>(0xAC));
    EXPECT_EQ(ByteForTypedKey(WXK_F1, WXK_NONE), std::nullopt);
    EXPECT_EQ(ByteForTypedKey(WXK_DELETE, WXK_DELETE), std::nullopt);
}

} // namespace
