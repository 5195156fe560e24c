#include "ui/ReceivePane.h"

#include "ui/DirectPaint.h"

#include <wx/fontutil.h>
#include <wx/settings.h>

#include <gtk/gtk.h>

#include <algorithm>
#include <chrono>

namespace {

// Room between the border and the text, as the toolkit's text view leaves.
constexpr int MARGIN = 2;
constexpr int CARET_WIDTH = 1;
constexpr auto SCROLLBAR_FOLLOW_INTERVAL = std::chrono::milliseconds(250);
constexpr int SCROLLBAR_SETTLE_MS = 100;

void SetSourceColour(cairo_t* cr, const wxColour& colour)
{
    cairo_set_source_rgb(cr, colour.Red() / 255.0, colour.Green() / 255.0, colour.Blue() / 255.0);
}

} // namespace

wxBEGIN_EVENT_TABLE(ReceivePane, wxWindow)
    EVT_PAINT(ReceivePane::OnPaint)
    EVT_SIZE(ReceivePane::OnSize)
    EVT_SCROLLWIN(ReceivePane::OnScroll)
    EVT_CHAR(ReceivePane::OnChar)
    EVT_LEFT_DOWN(ReceivePane::OnLeftDown)
    EVT_LEFT_DCLICK(ReceivePane::OnLeftDoubleClick)
    EVT_MOTION(ReceivePane::OnMotion)
    EVT_LEFT_UP(ReceivePane::OnLeftUp)
    EVT_MOUSE_CAPTURE_LOST(ReceivePane::OnCaptureLost)
    EVT_CONTEXT_MENU(ReceivePane::OnContextMenu)
    EVT_MENU(wxID_ANY, ReceivePane::OnMenu)
    EVT_SET_FOCUS(ReceivePane::OnFocus)
    EVT_KILL_FOCUS(ReceivePane::OnFocus)
wxEND_EVENT_TABLE()

ReceivePane::ReceivePane(wxWindow* parent, wxWindowID id)
    : wxWindow(parent, id, wxDefaultPosition, wxDefaultSize, wxVSCROLL | wxBORDER_SUNKEN | wxWANTS_CHARS)
    , m_scrollbarTimer(this)
{
    Bind(wxEVT_TIMER, &ReceivePane::OnScrollbarTimer, this);
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetCursor(wxCursor(wxCURSOR_IBEAM));
    m_layout.SetContext(gtk_widget_get_pango_context(m_wxwindow), GetFont().GetNativeFontInfo()->description);
    m_layout.SetWidth(GetClientSize().x - 2 * MARGIN);
    ExposePaneText(*this, *this);
    // A scroll bar beside the text, not one faded in and out over it, and
    // the sunken frame a text field has.
    gtk_scrolled_window_set_overlay_scrolling(GTK_SCROLLED_WINDOW(m_widget), FALSE);
    gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(m_widget), GTK_SHADOW_IN);
    UpdateScrollbar();
}

void ReceivePane::GTKHandleRealized()
{
    wxWindow::GTKHandleRealized();
    // The backing store already holds the drawing; the toolkit's buffer
    // would be a second copy of every refresh.
    PaintStraightToScreen(m_wxwindow);
}

wxString ReceivePane::GetRange(long from, long to) const
{
    const size_t size = m_text.Size();
    const size_t begin = std::min(static_cast<size_t>(std::max(from, 0L)), size);
    const size_t end = std::clamp(static_cast<size_t>(std::max(to, 0L)), begin, size);
    return wxString(m_text.Text().substr(begin, end - begin));
}

void ReceivePane::GetSelection(long* from, long* to) const
{
    *from = static_cast<long>(SelectionStart());
    *to = static_cast<long>(SelectionEnd());
}

void ReceivePane::AccessibleSelection(long& from, long& to) const
{
    GetSelection(&from, &to);
}

void ReceivePane::ChangeValue(const wxString& text)
{
    Edit(0, m_text.Size(), text.ToStdWstring());
    MoveCaret(m_text.Size(), false);
}

void ReceivePane::AppendText(const wxString& text)
{
    Edit(m_text.Size(), m_text.Size(), text.ToStdWstring());
    MoveCaret(m_text.Size(), false);
}

void ReceivePane::Remove(long from, long to)
{
    if (from < to && from >= 0)
        Edit(static_cast<size_t>(from), static_cast<size_t>(to), {});
}

void ReceivePane::SetInsertionPoint(long position)
{
    MoveCaret(std::min(static_cast<size_t>(std::max(position, 0L)), m_text.Size()), false);
}

void ReceivePane::Edit(size_t from, size_t to, std::wstring_view text)
{
    to = std::min(to, m_text.Size());
    from = std::min(from, to);
    if (from == to && text.empty())
        return;
    if (to > from)
        NotifyPaneTextRemoving(*this, static_cast<long>(from), static_cast<long>(to - from));
    const int oldHeight = m_layout.Height(m_text);
    const ParagraphSplice splice = m_text.Replace(from, to, text);
    m_layout.Splice(splice);
    // What moved or changed: the new paragraphs, and all below them when
    // the height changed.
    const int changedTop = m_layout.ParagraphTop(m_text, splice.first);
    const int newHeight = m_layout.Height(m_text);
    const int changedEnd = newHeight == oldHeight ? m_layout.ParagraphTop(m_text, splice.first + splice.inserted)
                                                  : std::max(oldHeight, newHeight);
    if (!text.empty())
        NotifyPaneTextInserted(*this, static_cast<long>(from), static_cast<long>(text.size()));
    // Positions behind the change move with the text; those inside it go to
    // its start.
    const auto follow = [&](size_t position) {
        if (position >= to)
            return position - (to - from) + text.size();
        return std::min(position, from);
    };
    m_caret = follow(m_caret);
    m_anchor = follow(m_anchor);
    UpdateScrollbar();
    m_store.InvalidateRange(changedTop, changedEnd);
    Repaint(changedTop, changedEnd);
}

void ReceivePane::EditByUser(std::wstring_view text)
{
    const size_t from = SelectionStart();
    Edit(from, SelectionEnd(), text);
    MoveCaret(from + text.size(), false);
    ShowPosition(GetInsertionPoint());
    wxCommandEvent changed(wxEVT_TEXT, GetId());
    changed.SetEventObject(this);
    ProcessWindowEvent(changed);
}

void ReceivePane::MoveCaret(size_t position, bool bExtend)
{
    if (m_text.IsInsideBreak(position))
        position += position > m_caret ? 1 : -1;
    if (position == m_caret && (bExtend || m_anchor == m_caret))
        return;
    const bool bSelectionChanges = m_caret != m_anchor || bExtend;
    RepaintCaret();
    m_caret = position;
    if (!bExtend)
        m_anchor = position;
    NotifyPaneCaretMoved(*this, static_cast<long>(m_caret));
    if (bSelectionChanges) {
        m_store.Invalidate();
        Repaint();
    }
    RepaintCaret();
}

void ReceivePane::RepaintCaret()
{
    const CaretBox caret = m_layout.Caret(m_text, m_caret);
    Repaint(caret.y, caret.y + caret.height);
}

std::wstring ReceivePane::SelectedText() const
{
    return m_text.Text().substr(SelectionStart(), SelectionEnd() - SelectionStart());
}

int ReceivePane::VisibleHeight() const
{
    return std::max(GetClientSize().y - 2 * MARGIN, 1);
}

int ReceivePane::VisibleRight()
{
    int right = 0;
    const size_t count = m_text.Paragraphs().size();
    for (size_t i = m_layout.ParagraphAtY(m_text, m_scrollY); i < count; ++i) {
        if (m_layout.ParagraphTop(m_text, i) >= m_scrollY + VisibleHeight())
            break;
        right = std::max(right, m_layout.ParagraphRight(m_text, i));
    }
    return MARGIN + right + CARET_WIDTH;
}

void ReceivePane::Repaint(int from, int to)
{
    // Right of what was and what is to be drawn the pane stays background:
    // leaving it alone halves what a refresh of a board's short lines costs
    // the display.
    const int right = std::max(m_paintedRight, VisibleRight());
    const int origin = m_scrollY - MARGIN;
    const int top = std::max(from, origin) - origin;
    const int bottom = static_cast<int>(std::min<long long>(static_cast<long long>(to) - origin, GetClientSize().y));
    if (top < bottom)
        RefreshRect(wxRect(0, top, right, bottom - top));
}

void ReceivePane::UpdateScrollbar()
{
    const int total = m_layout.Height(m_text);
    const int visible = VisibleHeight();
    m_scrollY = std::clamp(m_scrollY, 0, std::max(total - visible, 0));
    // A range shorter than the page reads to the toolkit as scrolled past
    // the end, and it draws its overscroll glow.
    const ScrollbarState state { m_scrollY, visible, std::max(total, visible) };
    if (state == m_shownScrollbar)
        return;
    // Moving the scroll bar at every refresh of a chatty board cost more
    // than drawing its lines: while the text keeps changing it follows a
    // few times a second, and once the text rests it ends where the text is.
    const auto now = std::chrono::steady_clock::now();
    if (now - m_scrollbarShownAt < SCROLLBAR_FOLLOW_INTERVAL) {
        m_scrollbarTimer.StartOnce(SCROLLBAR_SETTLE_MS);
        return;
    }
    m_scrollbarTimer.Stop();
    SetScrollbar(wxVERTICAL, state.position, state.visible, state.total);
    m_shownScrollbar = state;
    m_scrollbarShownAt = now;
}

void ReceivePane::OnScrollbarTimer(wxTimerEvent&)
{
    m_scrollbarShownAt = {};
    UpdateScrollbar();
}

void ReceivePane::ScrollTo(int y)
{
    const int top = std::clamp(y, 0, std::max(m_layout.Height(m_text) - VisibleHeight(), 0));
    if (top == m_scrollY)
        return;
    m_scrollY = top;
    UpdateScrollbar();
    Repaint();
}

void ReceivePane::ShowPosition(long position)
{
    const CaretBox caret = m_layout.Caret(m_text, std::min(static_cast<size_t>(std::max(position, 0L)), m_text.Size()));
    if (caret.y < m_scrollY)
        ScrollTo(caret.y);
    else if (caret.y + caret.height > m_scrollY + VisibleHeight())
        ScrollTo(caret.y + caret.height - VisibleHeight());
}

size_t ReceivePane::PositionAtPoint(const wxPoint& point)
{
    return m_layout.PositionAt(m_text, point.x - MARGIN, point.y - MARGIN + m_scrollY);
}

void ReceivePane::DrawBand(cairo_t* cr, int from, int to)
{
    SetSourceColour(cr, wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW));
    cairo_paint(cr);
    const wxColour text = wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT);
    const size_t selFrom = SelectionStart();
    const size_t selTo = SelectionEnd();
    const auto& paragraphs = m_text.Paragraphs();
    for (size_t i = m_layout.ParagraphAtY(m_text, from); i < paragraphs.size(); ++i) {
        const int top = m_layout.ParagraphTop(m_text, i);
        if (top >= to)
            break;
        const PaneParagraph& p = paragraphs[i];
        const size_t selectedFrom = std::max(selFrom, p.start);
        const size_t selectedTo = std::min(selTo, p.start + p.length);
        if (selectedFrom >= selectedTo && m_layout.IsPlain(m_text, i)) {
            SetSourceColour(cr, text);
            m_layout.Glyphs().Draw(cr, std::wstring_view(m_text.Text()).substr(p.start, p.length), MARGIN, top);
            continue;
        }
        PangoLayout* layout = m_layout.Layout(m_text, i);
        if (!layout)
            continue;
        cairo_move_to(cr, MARGIN, top);
        SetSourceColour(cr, text);
        pango_cairo_show_layout(cr, layout);
        if (selectedFrom >= selectedTo)
            continue;
        const gint range[2] = { PaneLayout::ByteIndex(layout, selectedFrom - p.start),
                                PaneLayout::ByteIndex(layout, selectedTo - p.start) };
        cairo_region_t* selected = gdk_pango_layout_get_clip_region(layout, MARGIN, top, range, 1);
        cairo_save(cr);
        gdk_cairo_region(cr, selected);
        cairo_clip(cr);
        SetSourceColour(cr, wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT));
        cairo_paint(cr);
        cairo_move_to(cr, MARGIN, top);
        SetSourceColour(cr, wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT));
        pango_cairo_show_layout(cr, layout);
        cairo_restore(cr);
        cairo_region_destroy(selected);
    }
}

void ReceivePane::OnPaint(wxPaintEvent&)
{
    // The toolkit's own context for this paint: a device context around it
    // would cost more than everything drawn here at a refresh.
    cairo_t* cr = GTKPaintContext();
    ClipToInvalidated(m_wxwindow, cr);
    const wxSize client = GetClientSize();
    const int origin = m_scrollY - MARGIN;
    const int visibleRight = VisibleRight();
    m_store.Paint(cr, client.x, client.y, origin, std::max(m_paintedRight, visibleRight),
                  [this](cairo_t* band, int from, int to) { DrawBand(band, from, to); });
    m_paintedRight = visibleRight;
    if (HasFocus() && m_caret == m_anchor) {
        const CaretBox caret = m_layout.Caret(m_text, m_caret);
        SetSourceColour(cr, wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT));
        cairo_rectangle(cr, MARGIN + caret.x, caret.y - origin, CARET_WIDTH, caret.height);
        cairo_fill(cr);
    }
}

void ReceivePane::OnSize(wxSizeEvent& event)
{
    const bool bAtEnd = m_scrollY + VisibleHeight() >= m_layout.Height(m_text);
    m_layout.SetWidth(GetClientSize().x - 2 * MARGIN);
    m_store.Invalidate();
    UpdateScrollbar();
    if (bAtEnd)
        ScrollTo(m_layout.Height(m_text));
    Refresh();
    event.Skip();
}

void ReceivePane::OnScroll(wxScrollWinEvent& event)
{
    if (event.GetOrientation() != wxVERTICAL)
        return;
    const wxEventType type = event.GetEventType();
    const int line = GetCharHeight();
    int y = event.GetPosition();
    if (type == wxEVT_SCROLLWIN_LINEUP)
        y = m_scrollY - line;
    else if (type == wxEVT_SCROLLWIN_LINEDOWN)
        y = m_scrollY + line;
    else if (type == wxEVT_SCROLLWIN_PAGEUP)
        y = m_scrollY - VisibleHeight();
    else if (type == wxEVT_SCROLLWIN_PAGEDOWN)
        y = m_scrollY + VisibleHeight();
    else if (type == wxEVT_SCROLLWIN_TOP)
        y = 0;
    else if (type == wxEVT_SCROLLWIN_BOTTOM)
        y = m_layout.Height(m_text);
    ScrollTo(y);
}

void ReceivePane::OnFocus(wxFocusEvent& event)
{
    RepaintCaret();
    event.Skip();
}
