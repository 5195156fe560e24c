// Form template 103 of the configuration bar: every control with its id,
// caption and rectangle in dialog units, in template (= tab) order, and the
// builder that creates them on a window. UI thread only.
#pragma once

#include <wx/gdicmn.h>

#include <vector>

class wxWindow;

enum class TemplateControlKind {
    PushButton,
    RadioGroupStart, // first radio button of a group
    Radio,
    CheckBox,
    Edit,
    ReadOnlyEdit,
    DropDownList,
    Label,
    GroupBox,
    Progress,
};

struct TemplateControl {
    TemplateControlKind kind;
    int id; // wxID_ANY for labels and group boxes
    const wchar_t* caption;
    wxRect dialogUnits;
    bool startsDisabled;
};

constexpr int CONFIG_BAR_WIDTH_DLU = 529;
constexpr int CONFIG_BAR_HEIGHT_DLU = 96;

const std::vector<TemplateControl>& ConfigBarTemplate();

// Dialog units to pixels. The font's own units are stretched, in each
// direction alike for every control, until every caption and list entry
// shows whole: GTK's indicators, list arrows and drop-down lists take more
// room than the template allows for, and how much more depends on the font
// and the language.
class CTemplateScale {
public:
    CTemplateScale() = default;
    CTemplateScale(double xPerUnit, double yPerUnit);
    wxPoint ToPixels(const wxPoint& dialogUnits) const;
    wxSize ToPixels(const wxSize& dialogUnits) const;
    // From the corners, so rectangles that meet in the template meet here.
    wxRect ToPixels(const wxRect& dialogUnits) const;

private:
    double m_xPerUnit = 1.0;
    double m_yPerUnit = 1.0;
};

// Creates every control of the template on parent, in template order, and
// returns them in that order. They are placed by LayOutTemplateControls.
std::vector<wxWindow*> CreateTemplateControls(wxWindow* parent, const std::vector<TemplateControl>& controls);

// Places the created controls (filled lists included) at the smallest scale
// at which each shows its text whole within its available width, and
// returns that scale.
CTemplateScale LayOutTemplateControls(wxWindow* parent, const std::vector<TemplateControl>& controls,
                                      const std::vector<wxWindow*>& windows);
