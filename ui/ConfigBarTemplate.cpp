#include "ui/ConfigBarTemplate.h"

#include "ui/GradientProgressCtrl.h"
#include "ui/Resource.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>

namespace {

using K = TemplateControlKind;

// Dialog units between two rows of drop-down lists in the template.
constexpr int LIST_ROW_PITCH_DLU = 13;
// Kept free between a control that grows and what lies to its right.
constexpr int MARGIN_DLU = 2;

// Text fields scroll their text and the progress bar draws its own.
bool ShowsText(K kind)
{
    return kind != K::Edit && kind != K::ReadOnlyEdit && kind != K::Progress;
}

// What a control covers when closed: a drop-down list's template height is
// that of the opened list.
wxRect ShownRect(const TemplateControl& control)
{
    wxRect rect = control.dialogUnits;
    if (control.kind == K::DropDownList)
        rect.height = LIST_ROW_PITCH_DLU - 1;
    return rect;
}

wxWindow* CreateControl(wxWindow* parent, const TemplateControl& control)
{
    const wxString caption(control.caption);
    const wxPoint pos = wxDefaultPosition;
    const wxSize size = wxDefaultSize;
    // Controls created with new below are owned by their parent window.
    switch (control.kind) {
    case K::PushButton:
        // Without exact fit GTK asks for a stock button's width, wider than
        // the template's buttons and wider than their captions need.
        return new wxButton(parent, control.id, caption, pos, size, wxBU_EXACTFIT);
    case K::RadioGroupStart:
        return new wxRadioButton(parent, control.id, caption, pos, size, wxRB_GROUP);
    case K::Radio:
        return new wxRadioButton(parent, control.id, caption, pos, size);
    case K::CheckBox:
        return new wxCheckBox(parent, control.id, caption, pos, size);
    case K::Edit:
        return new wxTextCtrl(parent, control.id, caption, pos, size);
    case K::ReadOnlyEdit:
        return new wxTextCtrl(parent, control.id, caption, pos, size, wxTE_READONLY);
    case K::DropDownList:
        return new wxChoice(parent, control.id, pos, size);
    case K::Label:
        return new wxStaticText(parent, control.id, caption, pos, size, wxST_NO_AUTORESIZE);
    case K::GroupBox:
        return new wxStaticBox(parent, control.id, caption, pos, size);
    case K::Progress:
        return new CGradientProgressCtrl(parent, control.id, pos, size);
    }
    return nullptr;
}

// How far the control at `index` may reach to the right, in dialog units:
// up to a margin before the next control beside it or the border of its
// group box, whichever comes first.
int AvailableWidthDlu(const std::vector<TemplateControl>& controls, size_t index)
{
    const wxRect own = ShownRect(controls[index]);
    if (controls[index].kind == K::GroupBox)
        return own.width;
    int limit = CONFIG_BAR_WIDTH_DLU;
    for (const TemplateControl& other : controls) {
        const wxRect rect = ShownRect(other);
        if (other.kind == K::GroupBox) {
            if (rect.Contains(own))
                limit = std::min(limit, rect.GetRight() + 1);
        } else if (rect.x >= own.GetRight() + 1 && rect.y <= own.GetBottom() && own.y <= rect.GetBottom()) {
            limit = std::min(limit, rect.x);
        }
    }
    return std::max(own.width, limit - MARGIN_DLU - own.x);
}

} // namespace

CTemplateScale::CTemplateScale(double xPerUnit, double yPerUnit)
    : m_xPerUnit(xPerUnit)
    , m_yPerUnit(yPerUnit)
{
}

wxPoint CTemplateScale::ToPixels(const wxPoint& dialogUnits) const
{
    return { static_cast<int>(dialogUnits.x * m_xPerUnit), static_cast<int>(dialogUnits.y * m_yPerUnit) };
}

wxSize CTemplateScale::ToPixels(const wxSize& dialogUnits) const
{
    return { static_cast<int>(dialogUnits.x * m_xPerUnit), static_cast<int>(dialogUnits.y * m_yPerUnit) };
}

wxRect CTemplateScale::ToPixels(const wxRect& dialogUnits) const
{
    const wxPoint topLeft = ToPixels(dialogUnits.GetPosition());
    const wxPoint end = ToPixels(dialogUnits.GetPosition() + dialogUnits.GetSize());
    return { topLeft, wxSize(end.x - topLeft.x, end.y - topLeft.y) };
}

const std::vector<TemplateControl>& ConfigBarTemplate()
{
    static const std::vector<TemplateControl> controls {
        { K::PushButton, IDC_BUTTON_SEND_TEXT, L"发送", { 265, 11, 35, 14 }, true },
        { K::RadioGroupStart, IDC_RADIO_XMODEM_SUM, L"XModem SUM", { 342, 48, 54, 10 }, false },
        { K::Radio, IDC_RADIO_XMODEM_CRC, L"XModem CRC", { 398, 48, 55, 10 }, false },
        { K::Radio, IDC_RADIO_XMODEM_1KCRC, L"XModem 1KCRC", { 456, 48, 63, 10 }, false },
        { K::PushButton, IDC_BUTTON_CONNECT, L"连接串口", { 190, 74, 40, 14 }, false },
        { K::Edit, IDC_EDIT_CUSTOM_BAUD, L"", { 66, 74, 40, 14 }, true },
        { K::ReadOnlyEdit, IDC_EDIT_SEND_FILE, L"", { 341, 11, 121, 14 }, false },
        { K::DropDownList, IDC_COMBO_PORT, L"", { 39, 46, 40, 49 }, false },
        { K::DropDownList, IDC_COMBO_BAUD, L"", { 114, 46, 40, 49 }, false },
        { K::DropDownList, IDC_COMBO_DATA_BITS, L"", { 190, 46, 40, 49 }, false },
        { K::DropDownList, IDC_COMBO_STOP_BITS, L"", { 39, 59, 40, 49 }, false },
        { K::Label, wxID_ANY, L"串口号", { 10, 48, 25, 8 }, false },
        { K::Label, wxID_ANY, L"波特率", { 85, 48, 25, 8 }, false },
        { K::Label, wxID_ANY, L"数据位", { 161, 48, 25, 8 }, false },
        { K::Label, wxID_ANY, L"停止位", { 10, 61, 25, 8 }, false },
        { K::DropDownList, IDC_COMBO_PARITY, L"", { 114, 59, 40, 49 }, false },
        { K::Label, wxID_ANY, L"校验位", { 85, 61, 25, 8 }, false },
        { K::DropDownList, IDC_COMBO_FLOW, L"", { 190, 59, 40, 49 }, false },
        { K::Label, wxID_ANY, L"流控制", { 161, 61, 25, 8 }, false },
        { K::PushButton, IDC_BUTTON_BROWSE_SEND, L"...", { 463, 11, 25, 14 }, false },
        { K::Label, wxID_ANY, L"文件：", { 315, 14, 25, 8 }, false },
        { K::GroupBox, wxID_ANY, L"文件发送", { 309, 0, 216, 94 }, false },
        { K::CheckBox, IDC_CHECK_CUSTOM_BAUD, L"自定波特率", { 10, 77, 56, 10 }, false },
        // One unit narrower than the template's, which overlaps the version group.
        { K::GroupBox, wxID_ANY, L"串口配置", { 6, 36, 232, 58 }, false },
        { K::Edit, IDC_EDIT_SEND_TEXT, L"", { 11, 11, 210, 14 }, false },
        { K::PushButton, IDC_BUTTON_SEND_FILE, L"发送", { 491, 11, 30, 14 }, false },
        { K::Progress, IDC_PROGRESS, L"", { 341, 29, 179, 13 }, false },
        { K::Label, wxID_ANY, L"进度：", { 315, 32, 25, 8 }, false },
        { K::PushButton, IDC_BUTTON_BROWSE_CAPTURE, L"...", { 463, 77, 25, 14 }, false },
        { K::Label, wxID_ANY, L"文件：", { 315, 80, 25, 8 }, false },
        { K::PushButton, IDC_BUTTON_CAPTURE, L"保存", { 491, 77, 30, 14 }, false },
        { K::ReadOnlyEdit, IDC_EDIT_CAPTURE_FILE, L"", { 341, 77, 121, 14 }, false },
        { K::CheckBox, IDC_CHECK_NEWLINE, L"换行符", { 225, 14, 40, 10 }, false },
        { K::GroupBox, wxID_ANY, L"串口发送", { 6, 0, 300, 34 }, false },
        { K::GroupBox, wxID_ANY, L"", { 238, 36, 68, 58 }, false },
        { K::Label, wxID_ANY, L"模式：", { 315, 48, 25, 8 }, false },
        { K::Label, wxID_ANY, L"V" TALIARD_VERSION, { 240, 47, 37, 8 }, false },
    };
    return controls;
}

std::vector<wxWindow*> CreateTemplateControls(wxWindow* parent, const std::vector<TemplateControl>& controls)
{
    std::vector<wxWindow*> windows;
    for (const TemplateControl& control : controls) {
        wxWindow* window = CreateControl(parent, control);
        if (control.startsDisabled)
            window->Disable();
        windows.push_back(window);
    }
    return windows;
}

CTemplateScale LayOutTemplateControls(wxWindow* parent, const std::vector<TemplateControl>& controls,
                                      const std::vector<wxWindow*>& windows)
{
    // Measured over many units so the font's fraction is kept.
    const wxSize hundred = parent->ConvertDialogToPixels(wxSize(100, 100));
    double xPerUnit = hundred.x / 100.0;
    double yPerUnit = hundred.y / 100.0;
    for (size_t i = 0; i < controls.size(); ++i) {
        const TemplateControl& control = controls[i];
        const wxSize best = windows[i]->GetBestSize();
        // One pixel more: rectangles are truncated at both corners.
        if (ShowsText(control.kind))
            xPerUnit = std::max(xPerUnit, (best.x + 1.0) / AvailableWidthDlu(controls, i));
        if (control.kind == K::DropDownList)
            yPerUnit = std::max(yPerUnit, (best.y + 1.0) / LIST_ROW_PITCH_DLU);
        else if (control.kind != K::GroupBox && control.kind != K::Progress)
            yPerUnit = std::max(yPerUnit, (best.y + 1.0) / control.dialogUnits.height);
    }
    const CTemplateScale scale(xPerUnit, yPerUnit);
    for (size_t i = 0; i < controls.size(); ++i) {
        const TemplateControl& control = controls[i];
        const wxSize best = windows[i]->GetBestSize();
        wxRect rect = scale.ToPixels(control.dialogUnits);
        if (control.kind == K::DropDownList)
            rect.height = best.y;
        if (ShowsText(control.kind) && control.kind != K::GroupBox)
            rect.width = std::max(rect.width, best.x);
        windows[i]->SetSize(rect);
    }
    return scale;
}
