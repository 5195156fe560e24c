// The application icon: the sizes the window system asks for, drawn with a
// transparent outside, and the PNG that the desktop entry uses.
#include "ui/AppIcon.h"

#include "tests/ui/support/GuiTestApp.h"

#include <gtest/gtest.h>

#include <wx/bitmap.h>
#include <wx/icon.h>
#include <wx/image.h>

#include <filesystem>

namespace {

class AppIconTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(testsupport::EnsureGuiApp()) << "no display: run under xvfb-run (packages xvfb, xauth)";
    }
};

TEST_F(AppIconTest, BundleHoldsEachSizeExactly)
{
    const wxIconBundle icons = TaliardIcons();
    EXPECT_EQ(icons.GetIconCount(), 3u);
    for (int side : {16, 32, 48}) {
        const wxIcon icon = icons.GetIconOfExactSize(wxSize(side, side));
        ASSERT_TRUE(icon.IsOk()) << side;
        EXPECT_EQ(icon.GetSize(), wxSize(side, side));
    }
}

TEST_F(AppIconTest, CornersAreTransparentAndTheMiddleIsDrawn)
{
    for (int side : {16, 32, 48}) {
        SCOPED_TRACE(side);
        wxBitmap bitmap;
        bitmap.CopyFromIcon(TaliardIcons().GetIconOfExactSize(wxSize(side, side)));
        const wxImage image = bitmap.ConvertToImage();
        ASSERT_TRUE(image.HasMask() || image.HasAlpha());
        EXPECT_TRUE(image.IsTransparent(0, 0));
        EXPECT_TRUE(image.IsTransparent(side - 1, side - 1));
        EXPECT_FALSE(image.IsTransparent(side / 2, side / 2));
    }
}

TEST_F(AppIconTest, DesktopIconsCoverTheHicolorSizesFrom16To256)
{
    const auto hicolor = std::filesystem::path(__FILE__).parent_path() / "../../ui/resources/hicolor";
    wxInitAllImageHandlers();
    for (int side : { 16, 32, 48, 256 }) {
        const std::string size = std::to_string(side) + "x" + std::to_string(side);
        const auto path = hicolor / size / "apps/taliard.png";
        wxImage image;
        ASSERT_TRUE(image.LoadFile(path.string(), wxBITMAP_TYPE_PNG)) << path;
        EXPECT_EQ(image.GetSize(), wxSize(side, side)) << path;
        EXPECT_TRUE(image.HasAlpha()) << path;
    }
}

} // namespace
