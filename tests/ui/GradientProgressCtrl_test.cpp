// The progress bar as the configuration bar sets it up (range 0..100, black
// label shown), painted into a bitmap and, once, through a real paint on
// the screen.
#include "ui/GradientProgressCtrl.h"

#include "tests/ui/support/EventPump.h"
#include "tests/ui/support/GuiTestApp.h"
#include "ui/Resource.h"

#include <gtest/gtest.h>

#include <wx/bitmap.h>
#include <wx/brush.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/panel.h>

#include <chrono>
#include <ostream>

// Failures print colours as values, not addresses.
void PrintTo(const wxColour& colour, std::ostream* out)
{
    *out << colour.GetAsString(wxC2S_CSS_SYNTAX);
}

namespace {

const wxColour BACKGROUND(250, 250, 250);
const wxColour SENTINEL(255, 0, 0);

wxColour At(const wxImage& image, int x, int y)
{
    return {image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y)};
}

class GradientProgressCtrlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(testsupport::EnsureGuiApp()) << "no display: run under xvfb-run (packages xvfb, xauth)";
        // The frame owns the panel and the bar (a frame would stretch a
        // lone child); TearDown destroys the frame.
        m_frame = new wxFrame(nullptr, wxID_ANY, "progress");
        auto* panel = new wxPanel(m_frame);
        m_bar = new CGradientProgressCtrl(panel, IDC_PROGRESS, wxPoint(10, 10), wxSize(340, 20));
        m_bar->SetRange(0, 100);
        m_bar->SetLabelColor(*wxBLACK);
        m_bar->ShowPercentLabel(true);
        m_bar->SetPos(0);
    }

    void TearDown() override
    {
        if (m_frame != nullptr) {
            m_frame->Destroy();
            wxTheApp->ProcessIdle();
        }
    }

    // The bar painted over a red bitmap of the given size.
    wxImage Render(const wxSize& size = wxSize(340, 20)) const
    {
        wxBitmap bitmap(size.x, size.y, 24);
        {
            wxMemoryDC dc(bitmap);
            dc.SetBackground(wxBrush(SENTINEL));
            dc.Clear();
            m_bar->PaintTo(dc, size);
        }
        return bitmap.ConvertToImage();
    }

    // Where the centred label sits, from the bar's font.
    wxRect LabelBox(const wxString& text, const wxSize& size = wxSize(340, 20)) const
    {
        wxBitmap scratch(1, 1, 24);
        wxMemoryDC dc(scratch);
        dc.SetFont(m_bar->GetFont());
        const wxSize extent = dc.GetTextExtent(text);
        return {(size.x - extent.x) / 2, (size.y - extent.y) / 2, extent.x, extent.y};
    }

    static int CountColour(const wxImage& image, const wxRect& box, const wxColour& colour)
    {
        int count = 0;
        for (int y = box.GetTop(); y <= box.GetBottom(); ++y)
            for (int x = box.GetLeft(); x <= box.GetRight(); ++x)
                count += At(image, x, y) == colour ? 1 : 0;
        return count;
    }

    wxFrame* m_frame = nullptr;
    CGradientProgressCtrl* m_bar = nullptr;
};

TEST_F(GradientProgressCtrlTest, StartsEmptyWithTheDefaults)
{
    CGradientProgressCtrl bar(m_frame, wxID_ANY);
    EXPECT_EQ(bar.GetLower(), 0);
    EXPECT_EQ(bar.GetUpper(), 100);
    EXPECT_EQ(bar.GetPos(), 0);
    EXPECT_EQ(bar.GetBackgroundStyle(), wxBG_STYLE_PAINT);
}

TEST_F(GradientProgressCtrlTest, PositionZeroIsAllBackgroundWithoutLabel)
{
    const wxImage image = Render();
    EXPECT_EQ(CountColour(image, wxRect(0, 0, 340, 20), BACKGROUND), 340 * 20);
}

TEST_F(GradientProgressCtrlTest, HalfwayUncoversBandsZeroTo85)
{
    m_bar->SetPos(50);
    const wxImage image = Render();
    for (int row : {1, 19}) {
        SCOPED_TRACE(::testing::Message() << "row " << row);
        EXPECT_EQ(At(image, 0, row), wxColour(0, 170, 200));
        EXPECT_EQ(At(image, 100, row), wxColour(0, 120, 214));
        EXPECT_EQ(At(image, 170, row), wxColour(0, 85, 225));
        EXPECT_EQ(At(image, 171, row), wxColour(0, 85, 225));
        for (int x = 172; x < 340; ++x)
            ASSERT_EQ(At(image, x, row), BACKGROUND) << "x " << x;
    }
}

TEST_F(GradientProgressCtrlTest, FullBarShowsAllBandsAndTheLabel)
{
    m_bar->SetPos(100);
    const wxImage image = Render();
    EXPECT_EQ(At(image, 0, 1), wxColour(0, 170, 200));
    EXPECT_EQ(At(image, 338, 1), wxColour(0, 1, 249));
    EXPECT_EQ(At(image, 339, 19), wxColour(0, 1, 249));
    EXPECT_EQ(CountColour(image, wxRect(0, 1, 340, 1), BACKGROUND), 0);
    EXPECT_GT(CountColour(image, LabelBox("100 %"), *wxBLACK), 0);
}

TEST_F(GradientProgressCtrlTest, LabelIsCentredWithNoBoxBehindIt)
{
    for (int position : {5, 50, 100}) {
        SCOPED_TRACE(::testing::Message() << "position " << position);
        m_bar->SetPos(position);
        m_bar->ShowPercentLabel(false);
        const wxImage bare = Render();
        m_bar->ShowPercentLabel(true);
        const wxImage labelled = Render();

        // Text pixels may bleed a pixel past the font's extent.
        const wxRect box = LabelBox(PercentLabel(0, 100, position)).Inflate(1);
        int changed = 0;
        int kept = 0;
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 340; ++x) {
                const bool same = At(bare, x, y) == At(labelled, x, y);
                if (!box.Contains(x, y))
                    ASSERT_TRUE(same) << "outside the label at " << x << "," << y;
                else
                    (same ? kept : changed) += 1;
            }
        }
        EXPECT_GT(changed, 0);
        // A filled box would leave nothing of the bar inside the label.
        EXPECT_GT(kept, changed);
    }
}

TEST_F(GradientProgressCtrlTest, LabelTakesTheLabelColour)
{
    m_bar->SetPos(50);
    m_bar->SetLabelColor(wxColour(255, 0, 255));
    const wxImage image = Render();
    EXPECT_GT(CountColour(image, LabelBox(" 50 %"), wxColour(255, 0, 255)), 0);
    EXPECT_EQ(CountColour(image, LabelBox(" 50 %"), *wxBLACK), 0);
}

TEST_F(GradientProgressCtrlTest, PositionsOutsideTheRangeShowTheEmptyBar)
{
    for (int position : {-5, 101, 1000}) {
        m_bar->SetPos(position);
        EXPECT_EQ(CountColour(Render(), wxRect(0, 0, 340, 20), BACKGROUND), 340 * 20)
            << "position " << position;
    }
}

TEST_F(GradientProgressCtrlTest, SetRangeEmptiesTheBar)
{
    m_bar->SetPos(60);
    m_bar->SetRange(0, 100);
    EXPECT_EQ(m_bar->GetPos(), 0);
    EXPECT_EQ(CountColour(Render(), wxRect(0, 0, 340, 20), BACKGROUND), 340 * 20);
}

TEST_F(GradientProgressCtrlTest, EmptyRangeNeverShowsAnything)
{
    m_bar->SetRange(100, 100);
    m_bar->SetPos(100);
    EXPECT_EQ(CountColour(Render(), wxRect(0, 0, 340, 20), BACKGROUND), 340 * 20);
}

TEST_F(GradientProgressCtrlTest, NarrowFullBarPaintsEveryPixel)
{
    // 101 pixels: the bands end one column early; nothing may stay unpainted.
    m_bar->ShowPercentLabel(false);
    m_bar->SetPos(100);
    const wxImage image = Render(wxSize(101, 12));
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 101; ++x) {
            const wxColour c = At(image, x, y);
            const bool gradient = c.Red() == 0 && c.Blue() >= 200;
            ASSERT_TRUE(gradient || c == BACKGROUND) << x << "," << y << " is " << c.GetAsString();
        }
    }
    // Band 0 is empty at this width; the last column is background.
    EXPECT_EQ(At(image, 0, 0), wxColour(0, 169, 200));
    EXPECT_EQ(At(image, 100, 0), BACKGROUND);
}

TEST_F(GradientProgressCtrlTest, PaintHandlerDrawsTheBarOnScreen)
{
    m_bar->SetPos(50);
    m_frame->SetClientSize(400, 80);
    m_frame->Show();
    m_bar->Refresh();
    m_bar->Update();
    testsupport::PumpEventsFor(std::chrono::milliseconds(200));

    const wxSize size = m_bar->GetClientSize();
    const wxPoint origin = m_bar->ClientToScreen(wxPoint(0, 0));
    wxBitmap shot(size.x, size.y, 24);
    {
        wxScreenDC screen;
        wxMemoryDC dc(shot);
        dc.Blit(0, 0, size.x, size.y, &screen, origin.x, origin.y);
    }
    const wxImage onScreen = shot.ConvertToImage();
    const wxImage painted = Render(size);
    // The theme's rounded border may overlap the corners; the label's
    // anti-aliasing may differ by surface: compare the rows above and below.
    for (int y : {1, 2, size.y - 3, size.y - 2}) {
        for (int x = 3; x < size.x - 3; ++x)
            ASSERT_EQ(At(onScreen, x, y), At(painted, x, y)) << x << "," << y;
    }
    EXPECT_NE(At(onScreen, FillExtent(50, 100, size.x) - 1, 2), BACKGROUND);
    EXPECT_EQ(At(onScreen, size.x - 4, 2), BACKGROUND);
    EXPECT_GT(CountColour(onScreen, LabelBox(" 50 %", size), *wxBLACK), 0);
}

} // namespace
