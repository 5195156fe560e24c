// The file-transfer progress bar: keeps its own range and position and paints
// a gradient uncovered from the left as the position grows, a flat background
// after it, and optionally a centred percentage label. It draws off-screen and
// never erases on its own, so updates do not flicker. UI thread only: the
// document already delivers progress there.
#pragma once

#include "ui/ProgressBands.h"

#include <wx/colour.h>
#include <wx/control.h>

class wxDC;
class wxPaintEvent;

class CGradientProgressCtrl : public wxControl {
public:
    static constexpr Rgb START_COLOUR{0, 170, 200};
    static constexpr Rgb END_COLOUR{0, 0, 250};
    static constexpr Rgb BACKGROUND_COLOUR{250, 250, 250};

    CGradientProgressCtrl(wxWindow* parent, wxWindowID id,
                          const wxPoint& pos = wxDefaultPosition,
                          const wxSize& size = wxDefaultSize);

    CGradientProgressCtrl(const CGradientProgressCtrl&) = delete;
    CGradientProgressCtrl& operator=(const CGradientProgressCtrl&) = delete;

    // Both bounds are stored and the position returns to lower, so the bar
    // is empty until the next SetPos above it. Neither call repaints: the
    // owner refreshes the bar after an update.
    void SetRange(int lower, int upper);
    void SetPos(int position);
    void SetLabelColor(const wxColour& colour) { m_clrText = colour; }
    void ShowPercentLabel(bool show) { m_bShowPercent = show; }

    int GetLower() const { return m_nLower; }
    int GetUpper() const { return m_nUpper; }
    int GetPos() const { return m_nPos; }

    // Paints the bar as it stands onto dc, for a client area of size; the
    // paint handler uses it, and tests paint into a bitmap with it.
    void PaintTo(wxDC& dc, const wxSize& size) const;

    bool AcceptsFocus() const override { return false; }

private:
    void OnPaint(wxPaintEvent& event);

    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nPos = 0;
    wxColour m_clrText{255, 255, 255};
    bool m_bShowPercent = false;
};
