#include "ui/GradientProgressCtrl.h"

#include "ui/MemDC.h"

#include <wx/brush.h>
#include <wx/dcclient.h>
#include <wx/pen.h>

namespace {

wxColour ToColour(Rgb rgb)
{
    return {rgb.red, rgb.green, rgb.blue};
}

void Fill(wxDC& dc, const BandFill& fill)
{
    dc.SetBrush(wxBrush(ToColour(fill.colour)));
    dc.DrawRectangle(fill.left, fill.top, fill.right - fill.left, fill.bottom - fill.top);
}

} // namespace

CGradientProgressCtrl::CGradientProgressCtrl(wxWindow* parent, wxWindowID id,
                                             const wxPoint& pos, const wxSize& size)
{
    // Every pixel is painted by OnPaint; no separate erase, no flicker. GTK
    // needs the style before the window exists.
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Create(parent, id, pos, size, wxBORDER_SUNKEN);
    Bind(wxEVT_PAINT, &CGradientProgressCtrl::OnPaint, this);
}

void CGradientProgressCtrl::SetRange(int lower, int upper)
{
    m_nLower = lower;
    m_nUpper = upper;
    m_nPos = lower;
}

void CGradientProgressCtrl::SetPos(int position)
{
    m_nPos = position;
}

void CGradientProgressCtrl::PaintTo(wxDC& dc, const wxSize& size) const
{
    const int width = size.GetWidth();
    const int height = size.GetHeight();
    dc.SetPen(*wxTRANSPARENT_PEN);
    if (!ShowsGradient(m_nLower, m_nUpper, m_nPos)) {
        Fill(dc, {0, 0, width, height, BACKGROUND_COLOUR});
        return;
    }

    const int extent = FillExtent(m_nPos, m_nUpper, width);
    {
        CMemDC memDC(dc);
        memDC.SetPen(*wxTRANSPARENT_PEN);
        for (const BandFill& fill : ComputeBands(width, height, extent,
                                                 START_COLOUR, END_COLOUR, BACKGROUND_COLOUR)) {
            Fill(memDC, fill);
        }
    }

    if (m_bShowPercent) {
        // Over the copied gradient, straight on the target, with no box.
        dc.SetFont(GetFont());
        dc.SetTextForeground(m_clrText);
        dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
        dc.DrawLabel(wxString::FromUTF8(PercentLabel(m_nLower, m_nUpper, m_nPos)),
                     wxRect(0, 0, width, height), wxALIGN_CENTER);
    }
}

void CGradientProgressCtrl::OnPaint(wxPaintEvent&)
{
    wxPaintDC dc(this);
    PaintTo(dc, GetClientSize());
}
