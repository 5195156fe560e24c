// A self-drawn pane read through ATK, as GTK's bridge hands it to a screen
// reader: text role, text and ranges in characters, caret, selection, the
// insert notification; other wx windows keep their own accessible objects,
// and a destroyed pane's object reads nothing.
#include "ui/PaneAccessible.h"

#include "tests/ui/support/GuiTestApp.h"

#include <gtest/gtest.h>

#include <gtk/gtk.h>
#include <wx/frame.h>
#include <wx/window.h>

#include <memory>
#include <string>

namespace {

class TextPane : public wxWindow, public PaneTextSource {
public:
    explicit TextPane(wxWindow* parent)
        : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxVSCROLL | wxBORDER_SUNKEN | wxWANTS_CHARS)
    {
        ExposePaneText(*this, *this);
    }

    const std::wstring& AccessibleText() const override { return m_text; }
    long AccessibleCaret() const override { return m_caret; }
    void AccessibleSelection(long& from, long& to) const override
    {
        from = m_selectionFrom;
        to = m_selectionTo;
    }

    std::wstring m_text;
    long m_caret = 0;
    long m_selectionFrom = 0;
    long m_selectionTo = 0;
};

using Utf8 = std::unique_ptr<gchar, decltype(&g_free)>;

std::string Take(gchar* text)
{
    const Utf8 owned(text, g_free);
    return owned ? std::string(owned.get()) : std::string("(null)");
}

struct Inserted {
    int position = -1;
    int length = -1;
    std::string text;
};

void OnTextInsert(AtkText*, gint position, gint length, gchar* text, gpointer data)
{
    *static_cast<Inserted*>(data) = {position, length, text};
}

class PaneAccessibleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(testsupport::EnsureGuiApp()) << "no display: run under xvfb-run (packages xvfb, xauth)";
        m_frame = new wxFrame(nullptr, wxID_ANY, "pane");
        m_pane = new TextPane(m_frame);
        m_pane->m_text = L"ok \u4e2d!\r\nline";
    }

    void TearDown() override { m_frame->Destroy(); }

    AtkText* PaneText() const { return ATK_TEXT(gtk_widget_get_accessible(m_pane->m_wxwindow)); }

    wxFrame* m_frame = nullptr;
    TextPane* m_pane = nullptr;
};

TEST_F(PaneAccessibleTest, ReadsThePanesTextCaretAndSelectionInCharacters)
{
    AtkText* text = PaneText();
    ASSERT_TRUE(ATK_IS_TEXT(text));
    EXPECT_EQ(atk_object_get_role(ATK_OBJECT(text)), ATK_ROLE_TEXT);
    EXPECT_EQ(gtk_widget_get_accessible(m_pane->m_wxwindow), ATK_OBJECT(text)) << "one object per pane";
    AtkStateSet* states = atk_object_ref_state_set(ATK_OBJECT(text));
    EXPECT_TRUE(atk_state_set_contains_state(states, ATK_STATE_MULTI_LINE));
    g_object_unref(states);

    EXPECT_EQ(atk_text_get_character_count(text), 11);
    EXPECT_EQ(Take(atk_text_get_text(text, 0, -1)), "ok \u4e2d!\r\nline");
    EXPECT_EQ(Take(atk_text_get_text(text, 3, 5)), "\u4e2d!");
    EXPECT_EQ(atk_text_get_character_at_offset(text, 3), 0x4e2du);

    gint start = 0;
    gint end = 0;
    EXPECT_EQ(Take(atk_text_get_string_at_offset(text, 4, ATK_TEXT_GRANULARITY_LINE, &start, &end)),
              "ok \u4e2d!\r\n");
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 7);
    EXPECT_EQ(Take(atk_text_get_string_at_offset(text, 1, ATK_TEXT_GRANULARITY_WORD, &start, &end)), "ok ");
    EXPECT_EQ(Take(atk_text_get_string_at_offset(text, 11, ATK_TEXT_GRANULARITY_LINE, &start, &end)), "line");
    EXPECT_EQ(start, 7);

    m_pane->m_caret = 9;
    EXPECT_EQ(atk_text_get_caret_offset(text), 9);
    EXPECT_EQ(atk_text_get_n_selections(text), 0);
    m_pane->m_selectionFrom = 5;
    m_pane->m_selectionTo = 3;
    EXPECT_EQ(atk_text_get_n_selections(text), 1);
    EXPECT_EQ(Take(atk_text_get_selection(text, 0, &start, &end)), "\u4e2d!");
    EXPECT_EQ(start, 3);
    EXPECT_EQ(end, 5);

    Inserted inserted;
    g_signal_connect(text, "text-insert", G_CALLBACK(OnTextInsert), &inserted);
    m_pane->m_text += L"\u00e9t\u00e9";
    NotifyPaneTextInserted(*m_pane, 11, 3);
    EXPECT_EQ(inserted.position, 11);
    EXPECT_EQ(inserted.length, 3);
    EXPECT_EQ(inserted.text, "\u00e9t\u00e9");
}

TEST_F(PaneAccessibleTest, ANulOrALoneSurrogateReadsAsOneReplacementCharacter)
{
    m_pane->m_text = std::wstring(L"a\0b", 3) + static_cast<wchar_t>(0xD800) + L"c";
    EXPECT_EQ(Take(atk_text_get_text(PaneText(), 0, -1)), "a\uFFFDb\uFFFDc");
    EXPECT_EQ(Take(atk_text_get_text(PaneText(), 2, 5)), "b\uFFFDc");
}

TEST_F(PaneAccessibleTest, OtherWindowsKeepTheirOwnAndAGonePaneReadsNothing)
{
    auto* plain = new wxWindow(m_frame, wxID_ANY);
    AtkObject* other = gtk_widget_get_accessible(plain->m_wxwindow);
    ASSERT_NE(other, nullptr);
    EXPECT_FALSE(ATK_IS_TEXT(other));

    // A screen reader may hold the object longer than the pane lives.
    AtkText* text = PaneText();
    g_object_ref(text);
    m_pane->Destroy();
    EXPECT_EQ(atk_text_get_text(text, 0, -1), nullptr);
    EXPECT_EQ(atk_text_get_character_count(text), 0);
    AtkStateSet* states = atk_object_ref_state_set(ATK_OBJECT(text));
    EXPECT_TRUE(atk_state_set_contains_state(states, ATK_STATE_DEFUNCT));
    g_object_unref(states);
    g_object_unref(text);
}

} // namespace
