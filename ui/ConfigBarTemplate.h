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

// Dialog units to pixels in the bar's font. GTK's drop-down lists are
// taller than the 13 units between two rows of lists, so rows are spread just
// enough that they do not overlap; widths follow the font alone.
class CTemplateScale {
public:
    explicit CTemplateScale(wxWindow* parent);
    wxPoint ToPixels(const wxPoint& dialogUnits) const;
    wxSize ToPixels(const wxSize& dialogUnits) const;

private:
    double m_xPerUnit;
    double m_yPerUnit;
};

// Creates every control of the template on parent, in template order, placed
// with the scale. Drop-down lists keep their natural height: the template's
// height is that of the opened list.
void CreateTemplateControls(wxWindow* parent, const CTemplateScale& scale, const std::vector<TemplateControl>& controls);

// Widens or heightens a control to what the toolkit needs to show it whole
// (a filled list cut to "115..." otherwise); it may then reach a little into
// its neighbour's margin.
void GrowToBestSize(wxWindow* control);
