// The configuration bar lays out whole in every language and text scale the
// window is checked in: no two controls intersect, every control lies inside
// a group box's border, and every caption and list entry fits its control.
// The toolkit takes the locale and the text scale once, at start-up, so each
// setting runs this program again in a process of its own.
#include "tests/ui/support/ChildRun.h"
#include "tests/ui/support/Locales.h"
#include "tests/ui/support/MainWindow.h"
#include "tests/ui/support/PrivateDisplay.h"
#include "ui/SerialConfigBar.h"
#include "ui/StartupLocale.h"

#include <wx/statbox.h>
#include <wx/textctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Setting {
    const char* locale;
    const char* textScale; // GDK_DPI_SCALE
};

std::string Describe(const wxWindow* control)
{
    return "control " + std::to_string(control->GetId()) + " \"" + control->GetLabel().utf8_str().data() + "\" at " +
        std::to_string(control->GetRect().x) + "," + std::to_string(control->GetRect().y) + " " +
        std::to_string(control->GetRect().width) + "x" + std::to_string(control->GetRect().height);
}

wxRect InsideBorder(const wxStaticBox* box)
{
    int top = 0;
    int other = 0;
    box->GetBordersForSizer(&top, &other);
    wxRect inside = box->GetRect();
    inside.x += other;
    inside.width -= 2 * other;
    inside.y += top;
    inside.height -= top + other;
    return inside;
}

// The check itself, on the real main window in the setting this process
// was started in.
TEST(BarLayoutInThisProcess, ControlsNeitherOverlapNorClip)
{
    EXPECT_EQ(UseLocaleFromEnvironment(), "");
    testsupport::MainWindow window;
    const CSerialConfigBar* bar = window.Frame().GetConfigBar();
    std::vector<const wxStaticBox*> boxes;
    std::vector<const wxWindow*> controls;
    for (const wxWindow* child : bar->GetChildren()) {
        if (const auto* box = dynamic_cast<const wxStaticBox*>(child))
            boxes.push_back(box);
        else
            controls.push_back(child);
    }
    const wxRect whole(wxPoint(0, 0), bar->GetClientSize());
    for (const wxStaticBox* box : boxes) {
        EXPECT_TRUE(whole.Contains(box->GetRect())) << Describe(box);
        EXPECT_LE(box->GetBestSize().x, box->GetSize().x) << Describe(box);
        for (const wxStaticBox* other : boxes)
            EXPECT_TRUE(box == other || !box->GetRect().Intersects(other->GetRect())) << Describe(box) << " / " << Describe(other);
    }
    for (const wxWindow* control : controls) {
        bool bInBox = false;
        for (const wxStaticBox* box : boxes)
            bInBox = bInBox || InsideBorder(box).Contains(control->GetRect());
        EXPECT_TRUE(bInBox) << Describe(control);
        for (const wxWindow* other : controls)
            EXPECT_TRUE(control == other || !control->GetRect().Intersects(other->GetRect()))
                << Describe(control) << " / " << Describe(other);
        // Text fields scroll their text; everything else shows it whole.
        if (!dynamic_cast<const wxTextCtrl*>(control)) {
            EXPECT_LE(control->GetBestSize().x, control->GetSize().x) << Describe(control);
            EXPECT_LE(control->GetBestSize().y, control->GetSize().y) << Describe(control);
        }
    }
}

TEST(BarLayout, NoControlOverlapsOrClipsInAnyLanguageOrTextScale)
{
    const Setting settings[] = { { "C.UTF-8", "1" }, { "en_US.UTF-8", "1" }, { "zh_CN.UTF-8", "1" }, { "C.UTF-8", "1.25" } };
    for (const Setting& setting : settings) {
        const std::string missing = testsupport::MissingLocale(setting.locale);
        if (!missing.empty()) {
            ADD_FAILURE() << missing;
            continue;
        }
        // A screen wide enough for the larger text.
        const std::string environment = std::string("LC_ALL=") + setting.locale + " GDK_DPI_SCALE=" +
            setting.textScale + " " + testsupport::SCREEN_VARIABLE + "=1920x1200";
        std::string output;
        EXPECT_EQ(testsupport::RunThisProgram(environment, "BarLayoutInThisProcess.*", output), 0)
            << setting.locale << " at text scale " << setting.textScale << ":\n" << output;
    }
}

} // namespace
