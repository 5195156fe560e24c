// The receive pane: a text the program draws itself. It is editable, wraps
// at its width, has a caret, a selection made with the mouse or the
// keyboard, Cut/Copy/Paste/Delete/Select All on the right mouse button, the
// usual keys, and a scroll bar. Each paragraph keeps its layout, so that
// a refresh that adds a line lays out that line alone and draws the pane
// once. Its text is readable through the accessibility interface.
// The calls that change the text (ChangeValue, AppendText, Remove) are the
// program's and send no text event; the user's edits send wxEVT_TEXT.
// UI thread only.
#pragma once

#include "ui/PaneAccessible.h"
#include "ui/PaneBackingStore.h"
#include "ui/PaneLayout.h"
#include "ui/PaneText.h"

#include <wx/timer.h>
#include <wx/window.h>

#include <chrono>
#include <climits>
#include <memory>
#include <string_view>

class wxMenu;

class ReceivePane : public wxWindow, private PaneTextSource {
public:
    ReceivePane(wxWindow* parent, wxWindowID id);

    wxString GetValue() const { return wxString(m_text.Text()); }
    wxString GetRange(long from, long to) const;
    long GetLastPosition() const { return static_cast<long>(m_text.Size()); }
    long GetInsertionPoint() const { return static_cast<long>(m_caret); }
    void GetSelection(long* from, long* to) const;

    void ChangeValue(const wxString& text);
    // Adds at the end and puts the caret there.
    void AppendText(const wxString& text);
    void Remove(long from, long to);
    void SetInsertionPoint(long position);
    void SetInsertionPointEnd() { SetInsertionPoint(GetLastPosition()); }
    // Scrolls as little as needed for the position's line to be seen.
    void ShowPosition(long position);

private:
    void GTKHandleRealized() override;
    const std::wstring& AccessibleText() const override { return m_text.Text(); }
    long AccessibleCaret() const override { return static_cast<long>(m_caret); }
    void AccessibleSelection(long& from, long& to) const override;

    // Every change of the text goes through here.
    void Edit(size_t from, size_t to, std::wstring_view text);
    // The user's edit: replaces the selection, tells the owner.
    void EditByUser(std::wstring_view text);
    void MoveCaret(size_t position, bool bExtend);
    size_t SelectionStart() const { return std::min(m_caret, m_anchor); }
    size_t SelectionEnd() const { return std::max(m_caret, m_anchor); }
    std::wstring SelectedText() const;

    int VisibleRight();
    // Content y [from, to), as far as it is in view.
    void Repaint(int from = INT_MIN, int to = INT_MAX);
    void RepaintCaret();
    // Clamps the scroll position; the scroll bar follows within a moment.
    void UpdateScrollbar();
    void OnScrollbarTimer(wxTimerEvent& event);
    void ScrollTo(int y);
    int VisibleHeight() const;
    size_t PositionAtPoint(const wxPoint& point);
    size_t LineMove(int lines);
    size_t LineEdge(bool bEnd);
    size_t WordEdge(size_t position, bool bEnd) const;

    void CopySelection(bool bPrimary) const;
    void Paste();
    // Selects from anchor to caret (either may come first), shows it and
    // offers it as the primary selection.
    void Select(size_t anchor, size_t caret);
    std::unique_ptr<wxMenu> MakeContextMenu() const;

    void DrawBand(cairo_t* cr, int from, int to);
    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnScroll(wxScrollWinEvent& event);
    void OnChar(wxKeyEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftDoubleClick(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);
    void OnMenu(wxCommandEvent& event);
    void OnFocus(wxFocusEvent& event);

    PaneText m_text;
    PaneLayout m_layout;
    PaneBackingStore m_store;
    size_t m_caret = 0;
    size_t m_anchor = 0; // the selection's other end; == m_caret when none
    int m_scrollY = 0;   // the text's y at the pane's top
    int m_paintedRight = 0; // right of this the pane shows background
    struct ScrollbarState {
        int position = 0;
        int visible = 0;
        int total = -1;
        bool operator==(const ScrollbarState&) const = default;
    };
    ScrollbarState m_shownScrollbar;
    std::chrono::steady_clock::time_point m_scrollbarShownAt;
    wxTimer m_scrollbarTimer; // the last change shown once the text rests

    wxDECLARE_EVENT_TABLE();
};
