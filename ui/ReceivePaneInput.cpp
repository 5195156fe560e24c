#include "ui/ReceivePane.h"

#include <wx/clipbrd.h>
#include <wx/menu.h>

#include <gtk/gtk.h>

#include <algorithm>
#include <cwctype>
#include <limits>

// The pane's keyboard, mouse, context menu and clipboard; the text, its
// drawing and scrolling are in ReceivePane.cpp.

namespace {

// The toolkit's own words for its text view's menu, in the user's language.
wxString ToolkitMenuLabel(const char* label)
{
    wxString text = wxString::FromUTF8(g_dgettext("gtk30", label));
    text.Replace("&", "&&");
    text.Replace("_", "&");
    return text;
}

} // namespace

size_t ReceivePane::LineMove(int lines)
{
    const CaretBox caret = m_layout.Caret(m_text, m_caret);
    const int y = lines < 0 ? caret.y - 1 + (lines + 1) * caret.height : caret.y + caret.height + (lines - 1) * caret.height;
    if (y < 0)
        return 0;
    return m_layout.PositionAt(m_text, caret.x, y);
}

size_t ReceivePane::LineEdge(bool bEnd)
{
    const CaretBox caret = m_layout.Caret(m_text, m_caret);
    const int x = bEnd ? std::numeric_limits<int>::max() / PANGO_SCALE : 0;
    return m_layout.PositionAt(m_text, x, caret.y + caret.height / 2);
}

size_t ReceivePane::WordEdge(size_t position, bool bEnd) const
{
    const std::wstring& text = m_text.Text();
    const auto inWord = [](wchar_t c) { return std::iswalnum(static_cast<wint_t>(c)) || c == L'_'; };
    if (bEnd) {
        while (position < text.size() && inWord(text[position]))
            ++position;
    } else {
        while (position > 0 && inWord(text[position - 1]))
            --position;
    }
    return position;
}

void ReceivePane::CopySelection(bool bPrimary) const
{
    if (m_caret == m_anchor || !wxTheClipboard->Open())
        return;
    wxTheClipboard->UsePrimarySelection(bPrimary);
    // The clipboard owns the data object it is given.
    wxTheClipboard->SetData(new wxTextDataObject(wxString(SelectedText())));
    wxTheClipboard->UsePrimarySelection(false);
    wxTheClipboard->Close();
}

void ReceivePane::Paste()
{
    if (!wxTheClipboard->Open())
        return;
    wxTextDataObject data;
    const bool bGot = wxTheClipboard->IsSupported(wxDF_UNICODETEXT) && wxTheClipboard->GetData(data);
    wxTheClipboard->Close();
    if (bGot)
        EditByUser(data.GetText().ToStdWstring());
}

void ReceivePane::Select(size_t anchor, size_t caret)
{
    // The caret may already stand where the selection ends, and then moving
    // it would repaint nothing.
    m_anchor = anchor;
    m_store.Invalidate();
    Repaint();
    MoveCaret(caret, true);
    CopySelection(true);
}

std::unique_ptr<wxMenu> ReceivePane::MakeContextMenu() const
{
    auto menu = std::make_unique<wxMenu>();
    const bool bSelected = m_caret != m_anchor;
    menu->Append(wxID_CUT, ToolkitMenuLabel("Cu_t"))->Enable(bSelected);
    menu->Append(wxID_COPY, ToolkitMenuLabel("_Copy"))->Enable(bSelected);
    menu->Append(wxID_PASTE, ToolkitMenuLabel("_Paste"));
    menu->Append(wxID_DELETE, ToolkitMenuLabel("_Delete"))->Enable(bSelected);
    menu->AppendSeparator();
    menu->Append(wxID_SELECTALL, ToolkitMenuLabel("Select _All"))->Enable(!m_text.Text().empty());
    return menu;
}

void ReceivePane::OnChar(wxKeyEvent& event)
{
    const bool bShift = event.ShiftDown();
    const bool bControl = event.ControlDown();
    const size_t size = m_text.Size();
    switch (event.GetKeyCode()) {
    case WXK_LEFT:
        MoveCaret(m_caret != m_anchor && !bShift ? SelectionStart() : (m_caret > 0 ? m_caret - 1 : 0), bShift);
        break;
    case WXK_RIGHT:
        MoveCaret(m_caret != m_anchor && !bShift ? SelectionEnd() : std::min(m_caret + 1, size), bShift);
        break;
    case WXK_UP:
        MoveCaret(LineMove(-1), bShift);
        break;
    case WXK_DOWN:
        MoveCaret(LineMove(1), bShift);
        break;
    case WXK_PAGEUP:
        MoveCaret(LineMove(-std::max(VisibleHeight() / GetCharHeight(), 1)), bShift);
        break;
    case WXK_PAGEDOWN:
        MoveCaret(LineMove(std::max(VisibleHeight() / GetCharHeight(), 1)), bShift);
        break;
    case WXK_HOME:
        MoveCaret(bControl ? 0 : LineEdge(false), bShift);
        break;
    case WXK_END:
        MoveCaret(bControl ? size : LineEdge(true), bShift);
        break;
    case WXK_BACK:
        if (m_caret == m_anchor && m_caret > 0)
            m_anchor = m_text.IsInsideBreak(m_caret - 1) ? m_caret - 2 : m_caret - 1;
        EditByUser({});
        return;
    case WXK_DELETE:
        if (m_caret == m_anchor && m_caret < size)
            m_anchor = m_text.IsInsideBreak(m_caret + 1) ? m_caret + 2 : m_caret + 1;
        EditByUser({});
        return;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
        EditByUser(L"\n");
        return;
    case WXK_TAB:
        EditByUser(L"\t");
        return;
    // Ctrl+X, C and V never get here: the window's shortcuts take them.
    case WXK_CONTROL_A:
        Select(0, size);
        return;
    default: {
        const wxChar typed = event.GetUnicodeKey();
        if (typed == WXK_NONE || typed < 0x20 || typed == 0x7F || event.AltDown()) {
            event.Skip();
            return;
        }
        EditByUser(std::wstring_view(&typed, 1));
        return;
    }
    }
    if (bShift)
        CopySelection(true);
    ShowPosition(GetInsertionPoint());
}

void ReceivePane::OnLeftDown(wxMouseEvent& event)
{
    SetFocus();
    MoveCaret(PositionAtPoint(event.GetPosition()), event.ShiftDown());
    CaptureMouse();
}

void ReceivePane::OnLeftDoubleClick(wxMouseEvent& event)
{
    const size_t position = PositionAtPoint(event.GetPosition());
    Select(WordEdge(position, false), WordEdge(position, true));
}

void ReceivePane::OnMotion(wxMouseEvent& event)
{
    if (event.LeftIsDown() && HasCapture()) {
        MoveCaret(PositionAtPoint(event.GetPosition()), true);
        ShowPosition(GetInsertionPoint());
    }
}

void ReceivePane::OnLeftUp(wxMouseEvent&)
{
    if (HasCapture())
        ReleaseMouse();
    CopySelection(true);
}

void ReceivePane::OnCaptureLost(wxMouseCaptureLostEvent&)
{
}

void ReceivePane::OnContextMenu(wxContextMenuEvent&)
{
    PopupMenu(MakeContextMenu().get());
}

void ReceivePane::OnMenu(wxCommandEvent& event)
{
    switch (event.GetId()) {
    case wxID_CUT:
        CopySelection(false);
        EditByUser({});
        break;
    case wxID_COPY:
        CopySelection(false);
        break;
    case wxID_PASTE:
        Paste();
        break;
    case wxID_DELETE:
        EditByUser({});
        break;
    case wxID_SELECTALL:
        Select(0, m_text.Size());
        break;
    default:
        event.Skip();
    }
}
