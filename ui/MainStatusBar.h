// The main window's status bar: the message pane ("Ready" when idle), then
// the Caps Lock, Num Lock and Scroll Lock indicators, which show their text
// while the lock is on. A timer reads the lock keys. UI thread only.
#pragma once

#include <wx/statusbr.h>
#include <wx/timer.h>

class CMainStatusBar : public wxStatusBar {
public:
    enum Pane { PANE_MESSAGE, PANE_CAPS, PANE_NUM, PANE_SCROLL, PANE_COUNT };
    static constexpr int INDICATOR_POLL_MS = 250;

    explicit CMainStatusBar(wxWindow* parent);
    CMainStatusBar(const CMainStatusBar&) = delete;
    CMainStatusBar& operator=(const CMainStatusBar&) = delete;

    // Shows each indicator as the lock keys are now.
    void RefreshIndicators();

private:
    void OnIndicatorTimer(wxTimerEvent& event);

    wxTimer m_indicatorTimer;
};

// The text of an indicator pane: its name while its lock is on, else empty.
wxString IndicatorText(CMainStatusBar::Pane pane, bool bOn);
