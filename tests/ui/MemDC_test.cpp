// The off-screen surface: covers the target's clip box in the target's
// coordinates and puts exactly that area on the target when it closes.
#include "ui/MemDC.h"

#include "tests/ui/support/GuiTestApp.h"

#include <gtest/gtest.h>

#include <wx/bitmap.h>
#include <wx/brush.h>
#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/pen.h>

#include <functional>

namespace {

const wxColour RED(255, 0, 0);
const wxColour GREEN(0, 200, 0);
const wxColour BLUE(0, 0, 255);

class MemDCTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(testsupport::EnsureGuiApp()) << "no display: run under xvfb-run (packages xvfb, xauth)";
    }

    // A 40 x 30 red target; draw() works on it with the given clip, if any.
    static wxImage DrawOnTarget(const wxRect* clip, const std::function<void(wxDC&)>& draw)
    {
        wxBitmap bitmap(40, 30, 24);
        {
            wxMemoryDC target(bitmap);
            target.SetBackground(wxBrush(RED));
            target.Clear();
            if (clip != nullptr)
                target.SetClippingRegion(*clip);
            draw(target);
        }
        return bitmap.ConvertToImage();
    }

    static wxColour At(const wxImage& image, int x, int y)
    {
        return {image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y)};
    }

    static void FillRect(wxDC& dc, const wxRect& rect, const wxColour& colour)
    {
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(wxBrush(colour));
        dc.DrawRectangle(rect);
    }
};

TEST_F(MemDCTest, AreaIsTheTargetsClipBox)
{
    const wxRect clip(10, 5, 20, 10);
    DrawOnTarget(&clip, [&](wxDC& target) {
        CMemDC memDC(target);
        EXPECT_EQ(memDC.GetArea(), clip);
        FillRect(memDC, clip, GREEN);
    });
}

TEST_F(MemDCTest, WithoutClippingTheAreaIsTheWholeTarget)
{
    const wxImage image = DrawOnTarget(nullptr, [](wxDC& target) {
        CMemDC memDC(target);
        EXPECT_EQ(memDC.GetArea(), wxRect(0, 0, 40, 30));
        FillRect(memDC, wxRect(0, 0, 40, 30), GREEN);
    });
    EXPECT_EQ(At(image, 0, 0), GREEN);
    EXPECT_EQ(At(image, 39, 29), GREEN);
}

TEST_F(MemDCTest, DrawingLandsAtTheTargetsCoordinates)
{
    const wxRect clip(10, 5, 20, 10);
    const wxImage image = DrawOnTarget(&clip, [&](wxDC& target) {
        CMemDC memDC(target);
        FillRect(memDC, clip, GREEN);
        FillRect(memDC, wxRect(12, 7, 3, 2), BLUE);
    });
    EXPECT_EQ(At(image, 10, 5), GREEN);
    EXPECT_EQ(At(image, 29, 14), GREEN);
    EXPECT_EQ(At(image, 12, 7), BLUE);
    EXPECT_EQ(At(image, 14, 8), BLUE);
    EXPECT_EQ(At(image, 15, 8), GREEN);
    EXPECT_EQ(At(image, 11, 7), GREEN);
}

TEST_F(MemDCTest, OnlyTheAreaReachesTheTarget)
{
    const wxRect clip(10, 5, 20, 10);
    const wxImage image = DrawOnTarget(&clip, [&](wxDC& target) {
        CMemDC memDC(target);
        // Larger than the area: the rest must not be copied.
        FillRect(memDC, wxRect(0, 0, 40, 30), GREEN);
    });
    EXPECT_EQ(At(image, 10, 5), GREEN);
    EXPECT_EQ(At(image, 29, 14), GREEN);
    EXPECT_EQ(At(image, 9, 5), RED);
    EXPECT_EQ(At(image, 30, 14), RED);
    EXPECT_EQ(At(image, 10, 4), RED);
    EXPECT_EQ(At(image, 10, 15), RED);
}

TEST_F(MemDCTest, TargetIsUntouchedUntilTheSurfaceCloses)
{
    wxBitmap bitmap(8, 8, 24);
    wxMemoryDC target(bitmap);
    target.SetBackground(wxBrush(RED));
    target.Clear();
    {
        CMemDC memDC(target);
        FillRect(memDC, wxRect(0, 0, 8, 8), GREEN);
        wxColour seen;
        ASSERT_TRUE(target.GetPixel(3, 3, &seen));
        EXPECT_EQ(seen, RED);
    }
    wxColour seen;
    ASSERT_TRUE(target.GetPixel(3, 3, &seen));
    EXPECT_EQ(seen, GREEN);
}

} // namespace
