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

wxWindow* CreateControl(wxWindow* parent, const CTemplateScale& scale, const TemplateControl& control)
{
    const wxPoint pos = scale.ToPixels(control.dialogUnits.GetPosition());
    const wxSize size = scale.ToPixels(control.dialogUnits.GetSize());
    const wxString caption(control.caption);
    // Controls created with new below are owned by their parent window.
    switch (control.kind) {
    case K::PushButton:
        return new wxButton(parent, control.id, caption, pos, size);
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
        return new wxChoice(parent, control.id, pos, wxSize(size.GetWidth(), wxDefaultCoord));
    case K::Label:
        return new wxStaticText(parent, control.id, caption, pos, size);
    case K::GroupBox:
        return new wxStaticBox(parent, control.id, caption, pos, size);
    case K::Progress:
        return new CGradientProgressCtrl(parent, control.id, pos, size);
    }
    return nullptr;
}

} // namespace

CTemplateScale::CTemplateScale(wxWindow* parent)
{
    // Measured over many units so the font's fraction is kept.
    const wxSize hundred = parent->ConvertDialogToPixels(wxSize(100, 100));
    m_xPerUnit = hundred.x / 100.0;
    const wxChoice probe(parent, wxID_ANY);
    m_yPerUnit = std::max(hundred.y / 100.0, (probe.GetBestSize().y + 1.0) / LIST_ROW_PITCH_DLU);
}

wxPoint CTemplateScale::ToPixels(const wxPoint& dialogUnits) const
{
    return { static_cast<int>(dialogUnits.x * m_xPerUnit), static_cast<int>(dialogUnits.y * m_yPerUnit) };
}

wxSize CTemplateScale::ToPixels(const wxSize& dialogUnits) const
{
    return { static_cast<int>(dialogUnits.x * m_xPerUnit), static_cast<int>(dialogUnits.y * m_yPerUnit) };
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
        { K::GroupBox, wxID_ANY, L"串口配置", { 6, 36, 233, 58 }, false },
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
        { K::Label, wxID_ANY, L"V1.0.11.29", { 240, 47, 37, 8 }, false },
    };
    return controls;
}

void GrowToBestSize(wxWindow* control)
{
    wxSize size = control->GetSize();
    size.IncTo(control->GetBestSize());
    control->SetSize(size);
}

void CreateTemplateControls(wxWindow* parent, const CTemplateScale& scale, const std::vector<TemplateControl>& controls)
{
    for (const TemplateControl& control : controls) {
        wxWindow* window = CreateControl(parent, scale, control);
        if (control.startsDisabled)
            window->Disable();
        // GTK's check and radio indicators take more room than the template
        // allows for, and GTK complains when given less than its minimum.
        if (control.kind == K::CheckBox || control.kind == K::Radio || control.kind == K::RadioGroupStart)
            GrowToBestSize(window);
    }
}
