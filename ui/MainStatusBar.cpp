#include "ui/MainStatusBar.h"

#include "ui/AppStrings.h"

#include <wx/utils.h>

#include <algorithm>

namespace {

const char* IndicatorName(CMainStatusBar::Pane pane)
{
    switch (pane) {
    case CMainStatusBar::PANE_CAPS:
        return "CAP";
    case CMainStatusBar::PANE_NUM:
        return "NUM";
    case CMainStatusBar::PANE_SCROLL:
        return "SCRL";
    default:
        return "";
    }
}

wxKeyCode LockKey(CMainStatusBar::Pane pane)
{
    switch (pane) {
    case CMainStatusBar::PANE_CAPS:
        return WXK_CAPITAL;
    case CMainStatusBar::PANE_NUM:
        return WXK_NUMLOCK;
    default:
        return WXK_SCROLL;
    }
}

} // namespace

wxString IndicatorText(CMainStatusBar::Pane pane, bool bOn)
{
    return bOn ? wxString(IndicatorName(pane)) : wxString();
}

CMainStatusBar::CMainStatusBar(wxWindow* parent)
    // Its number in the forms, 59393, is beyond wx's window ids.
    // No size grip: the frame has a fixed size.
    : wxStatusBar(parent, wxID_ANY, wxSTB_DEFAULT_STYLE & ~wxSTB_SIZEGRIP)
    , m_indicatorTimer(this)
{
    // Each indicator pane is as wide as its longest text, so it never jumps.
    int indicatorWidth = 0;
    for (Pane pane : { PANE_CAPS, PANE_NUM, PANE_SCROLL })
        indicatorWidth = std::max(indicatorWidth, GetTextExtent(IndicatorName(pane)).x);
    indicatorWidth += 2 * GetCharWidth();
    const int widths[PANE_COUNT] = { -1, indicatorWidth, indicatorWidth, indicatorWidth };
    SetFieldsCount(PANE_COUNT, widths);
    SetStatusText(IDLE_STATUS_TEXT, PANE_MESSAGE);
    RefreshIndicators();

    Bind(wxEVT_TIMER, &CMainStatusBar::OnIndicatorTimer, this);
    m_indicatorTimer.Start(INDICATOR_POLL_MS);
}

void CMainStatusBar::RefreshIndicators()
{
    for (Pane pane : { PANE_CAPS, PANE_NUM, PANE_SCROLL }) {
        const wxString text = IndicatorText(pane, wxGetKeyState(LockKey(pane)));
        // Unchanged panes are left alone so the bar does not flicker.
        if (GetStatusText(pane) != text)
            SetStatusText(text, pane);
    }
}

void CMainStatusBar::OnIndicatorTimer(wxTimerEvent&)
{
    RefreshIndicators();
}
