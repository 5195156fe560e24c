// The About box: its texts, the icon, the default OK button that closes it,
// and the placement from the template's dialog units.
#include "ui/AboutDlg.h"

#include "tests/ui/support/GuiTestApp.h"
#include "ui/Resource.h"

#include <gtest/gtest.h>

#include <wx/button.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

namespace {

template <typename T>
T* FindChild(wxWindow& parent)
{
    for (wxWindow* child : parent.GetChildren())
        if (auto* found = dynamic_cast<T*>(child))
            return found;
    return nullptr;
}

class AboutDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(testsupport::EnsureGuiApp()) << "no display: run under xvfb-run (packages xvfb, xauth)";
    }
};

TEST_F(AboutDlgTest, ShowsNameVersionAndIcon)
{
    CAboutDlg dialog(nullptr);
    EXPECT_EQ(dialog.GetTitle(), "About Taliard");
    EXPECT_EQ(dialog.GetId(), IDD_ABOUTBOX);

    auto* text = FindChild<wxStaticText>(dialog);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetLabel(), "Taliard Version 1.0");

    auto* icon = FindChild<wxStaticBitmap>(dialog);
    ASSERT_NE(icon, nullptr);
    EXPECT_TRUE(icon->GetBitmap().IsOk());
    EXPECT_EQ(icon->GetBitmap().GetSize(), wxSize(32, 32));
}

TEST_F(AboutDlgTest, OkIsTheDefaultButton)
{
    CAboutDlg dialog(nullptr);
    auto* ok = wxDynamicCast(dialog.FindWindow(wxID_OK), wxButton);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->GetLabel(), "OK");
    EXPECT_EQ(dialog.GetDefaultItem(), ok);
}

TEST_F(AboutDlgTest, PlacedFromDialogUnits)
{
    CAboutDlg dialog(nullptr);
    EXPECT_EQ(dialog.GetClientSize(), dialog.ConvertDialogToPixels(wxSize(235, 55)));

    auto* ok = dialog.FindWindow(wxID_OK);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->GetPosition(), dialog.ConvertDialogToPixels(wxPoint(178, 7)));
    EXPECT_EQ(ok->GetSize(), dialog.ConvertDialogToPixels(wxSize(50, 16)));

    auto* text = FindChild<wxStaticText>(dialog);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetPosition(), dialog.ConvertDialogToPixels(wxPoint(40, 10)));
    EXPECT_EQ(text->GetSize(), dialog.ConvertDialogToPixels(wxSize(119, 8)));

    auto* icon = FindChild<wxStaticBitmap>(dialog);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->GetPosition(), dialog.ConvertDialogToPixels(wxPoint(11, 17)));

    // Everything fits inside the box.
    const wxRect client(dialog.GetClientSize());
    for (wxWindow* child : dialog.GetChildren())
        EXPECT_TRUE(client.Contains(child->GetRect())) << child->GetClassInfo()->GetClassName();
}

TEST_F(AboutDlgTest, OkClosesTheModalBox)
{
    CAboutDlg dialog(nullptr);
    dialog.CallAfter([&dialog] {
        wxCommandEvent click(wxEVT_BUTTON, wxID_OK);
        click.SetEventObject(dialog.FindWindow(wxID_OK));
        dialog.FindWindow(wxID_OK)->GetEventHandler()->ProcessEvent(click);
    });
    EXPECT_EQ(dialog.ShowModal(), wxID_OK);
    EXPECT_FALSE(dialog.IsShown());
}

} // namespace
