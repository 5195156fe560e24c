// A widget painting straight to the screen is still asked to paint only
// what was invalidated: the toolkit hands it the whole window unclipped.
#include "ui/DirectPaint.h"

#include "tests/ui/support/EventPump.h"
#include "tests/ui/support/GuiTestApp.h"

#include <gtest/gtest.h>

#include <wx/frame.h>
#include <wx/window.h>

#include <chrono>

namespace {

using namespace std::chrono_literals;

class Canvas : public wxWindow {
public:
    explicit Canvas(wxWindow* parent) : wxWindow(parent, wxID_ANY)
    {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
            cairo_t* cr = GTKPaintContext();
            ClipToInvalidated(m_wxwindow, cr);
            double x1 = 0;
            double y1 = 0;
            double x2 = 0;
            double y2 = 0;
            cairo_clip_extents(cr, &x1, &y1, &x2, &y2);
            m_painted = wxRect(wxPoint(static_cast<int>(x1), static_cast<int>(y1)),
                               wxPoint(static_cast<int>(x2) - 1, static_cast<int>(y2) - 1));
            ++m_paints;
        });
    }

    void GTKHandleRealized() override
    {
        wxWindow::GTKHandleRealized();
        PaintStraightToScreen(m_wxwindow);
    }

    wxRect m_painted;
    int m_paints = 0;
};

TEST(DirectPaint, ARefreshOfPartOfTheWindowPaintsThatPartOnly)
{
    ASSERT_TRUE(testsupport::EnsureGuiApp()) << "no display: run under xvfb-run (packages xvfb, xauth)";
    auto* frame = new wxFrame(nullptr, wxID_ANY, "canvas", wxDefaultPosition, wxSize(300, 200));
    auto* canvas = new Canvas(frame);
    frame->Show();
    ASSERT_TRUE(testsupport::PumpEventsUntil([&] { return canvas->m_paints > 0; }, 5s));
    testsupport::PumpEventsFor(100ms);

    const int before = canvas->m_paints;
    const wxRect line(10, 20, 30, 5);
    canvas->RefreshRect(line);
    ASSERT_TRUE(testsupport::PumpEventsUntil([&] { return canvas->m_paints > before; }, 5s));
    EXPECT_EQ(canvas->m_painted, line);
    frame->Destroy();
}

} // namespace
