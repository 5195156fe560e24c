#include "ui/SerialConfigBar.h"

#include "device/PortTable.h"
#include "document/CTaliardDoc.h"
#include "document/CaptureFile.h"
#include "platform/UiHooks.h"
#include "ui/AppStrings.h"
#include "ui/ConfigBarTables.h"
#include "ui/ConfigBarTemplate.h"
#include "ui/GradientProgressCtrl.h"
#include "ui/Resource.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include <array>

namespace {

// The three two-way buttons keep their state in their captions.
const wchar_t* const CAPTION_CONNECT = L"连接串口";
const wchar_t* const CAPTION_RELEASE = L"释放串口";
const wchar_t* const CAPTION_SEND = L"发送";
const wchar_t* const CAPTION_CANCEL = L"取消";
const wchar_t* const CAPTION_CAPTURE = L"保存";
const wchar_t* const CAPTION_STOP = L"停止";

const wchar_t* const MESSAGE_NO_BAUD = L"请输入波特率！";
const wchar_t* const MESSAGE_NO_SEND_FILE = L"请选择要发送的文件！";

const wchar_t* const SEND_FILE_WILDCARD = L"bin Files (*.bin)|*.bin|Dat Files (*.dat)|*.dat|All Files (*.*)|*.*";
const wchar_t* const CAPTURE_FILE_WILDCARD = L"Dat Files (*.dat)|*.dat|Txt Files (*.txt)|*.txt|All Files (*.*)|*.*";

// Disabled while connected, in this order.
constexpr std::array<int, 8> SETTINGS_CONTROLS { IDC_COMBO_PORT, IDC_COMBO_BAUD, IDC_COMBO_DATA_BITS,
    IDC_COMBO_STOP_BITS, IDC_COMBO_PARITY, IDC_COMBO_FLOW, IDC_CHECK_CUSTOM_BAUD, IDC_EDIT_CUSTOM_BAUD };

// The radio group; a button's position is the XMODEM variant.
constexpr std::array<int, 3> XMODEM_RADIOS { IDC_RADIO_XMODEM_SUM, IDC_RADIO_XMODEM_CRC, IDC_RADIO_XMODEM_1KCRC };

std::optional<wxString> ShowFileDialog(wxWindow* owner, const FileDialogRequest& request)
{
    wxFileDialog dialog(owner, wxFileSelectorPromptStr, request.defaultDir, request.defaultFile,
                        request.wildcard, request.style);
    if (dialog.ShowModal() != wxID_OK)
        return std::nullopt;
    return dialog.GetPath();
}

template <typename T>
T* Child(const wxWindow* parent, int id)
{
    return dynamic_cast<T*>(parent->FindWindow(id));
}

} // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(CSerialConfigBar, wxPanel)
    EVT_BUTTON(IDC_BUTTON_CONNECT, CSerialConfigBar::OnConnect)
    EVT_BUTTON(IDC_BUTTON_BROWSE_SEND, CSerialConfigBar::OnBrowseSendFile)
    EVT_BUTTON(IDC_BUTTON_SEND_FILE, CSerialConfigBar::OnSendFile)
    EVT_BUTTON(IDC_BUTTON_BROWSE_CAPTURE, CSerialConfigBar::OnBrowseCaptureFile)
    EVT_BUTTON(IDC_BUTTON_CAPTURE, CSerialConfigBar::OnCapture)
    EVT_BUTTON(IDC_BUTTON_SEND_TEXT, CSerialConfigBar::OnSendText)
    EVT_CHECKBOX(IDC_CHECK_CUSTOM_BAUD, CSerialConfigBar::OnCustomBaud)
    EVT_CHECKBOX(IDC_CHECK_NEWLINE, CSerialConfigBar::OnNewline)
    EVT_CHOICE(IDC_COMBO_PORT, CSerialConfigBar::OnPortSelected)
wxEND_EVENT_TABLE()
// clang-format on

CSerialConfigBar::CSerialConfigBar(wxWindow* parent)
    : wxPanel(parent, IDD_SERIAL_CONFIG_BAR, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL | wxBORDER_NONE)
    , m_fileDialog(ShowFileDialog)
{
    const std::vector<wxWindow*> controls = CreateTemplateControls(this, ConfigBarTemplate());
    InitControls();
    // The filled lists decide how wide they need to be.
    m_scale = LayOutTemplateControls(this, ConfigBarTemplate(), controls);
    const wxSize size = m_scale.ToPixels(wxSize(CONFIG_BAR_WIDTH_DLU, CONFIG_BAR_HEIGHT_DLU));
    SetSize(size);
    SetMinSize(size);
}

void CSerialConfigBar::InitControls()
{
    m_comboPort = Child<wxChoice>(this, IDC_COMBO_PORT);
    m_comboBaud = Child<wxChoice>(this, IDC_COMBO_BAUD);
    m_comboDataBits = Child<wxChoice>(this, IDC_COMBO_DATA_BITS);
    m_comboStopBits = Child<wxChoice>(this, IDC_COMBO_STOP_BITS);
    m_comboParity = Child<wxChoice>(this, IDC_COMBO_PARITY);
    m_progress = Child<CGradientProgressCtrl>(this, IDC_PROGRESS);

    for (const ConfigBarList& list : ConfigBarLists()) {
        wxChoice* choice = Child<wxChoice>(this, list.id);
        choice->Clear();
        for (const std::wstring& entry : list.entries)
            choice->Append(entry);
        choice->SetSelection(list.startSelection);
    }

    Child<wxTextCtrl>(this, IDC_EDIT_CUSTOM_BAUD)->ChangeValue(L"115200");

    m_progress->SetRange(0, 100);
    m_progress->SetLabelColor(*wxBLACK);
    m_progress->ShowPercentLabel(true);
    m_progress->SetPos(0);

    Child<wxRadioButton>(this, XMODEM_RADIOS[0])->SetValue(true);
    Child<wxCheckBox>(this, IDC_CHECK_NEWLINE)->SetValue(true);
    m_bNewline = true;
    UpdatePortToolTip();
}

wxString CSerialConfigBar::UpdatePortToolTip()
{
    const wxString text = PortChoiceText(m_comboPort->GetStringSelection().ToStdWstring());
    m_comboPort->SetToolTip(text);
    return text;
}

void CSerialConfigBar::OnPortSelected(wxCommandEvent&)
{
    ShowStatusText(UpdatePortToolTip());
}

wxButton* CSerialConfigBar::Button(int id) const
{
    return Child<wxButton>(this, id);
}

int CSerialConfigBar::ReadXmodemMode() const
{
    for (size_t i = 0; i < XMODEM_RADIOS.size(); ++i) {
        if (Child<wxRadioButton>(this, XMODEM_RADIOS[i])->GetValue())
            return static_cast<int>(i);
    }
    return 0;
}

void CSerialConfigBar::ApplyCustomBaudRule()
{
    FindWindow(IDC_EDIT_CUSTOM_BAUD)->Enable(m_bCustomBaud);
    m_comboBaud->Enable(!m_bCustomBaud);
}

void CSerialConfigBar::EnableSettingsControls(bool enable)
{
    for (int id : SETTINGS_CONTROLS)
        FindWindow(id)->Enable(enable);
}

void CSerialConfigBar::ShowStatusText(const wxString& text)
{
    auto* frame = dynamic_cast<wxFrame*>(wxGetTopLevelParent(this));
    if (frame != nullptr && frame->GetStatusBar() != nullptr)
        frame->SetStatusText(text, 0);
}

void CSerialConfigBar::OnConnect(wxCommandEvent&)
{
    if (m_pDoc == nullptr)
        return;
    ConfigBarChoices choices;
    choices.port = m_comboPort->GetSelection();
    choices.baud = m_comboBaud->GetSelection();
    choices.dataBits = m_comboDataBits->GetSelection();
    choices.stopBits = m_comboStopBits->GetSelection();
    choices.parity = m_comboParity->GetSelection();
    choices.customBaud = m_bCustomBaud;
    choices.customBaudText = Child<wxTextCtrl>(this, IDC_EDIT_CUSTOM_BAUD)->GetValue().ToStdWstring();
    if (!WriteSettingsFromChoices(choices, m_pDoc->m_settings)) {
        platform::ShowMessageBox(MESSAGE_NO_BAUD);
        return;
    }

    wxButton* connect = Button(IDC_BUTTON_CONNECT);
    if (connect->GetLabel() == CAPTION_CONNECT) {
        // The document has shown its own message; the bar stays as it was.
        if (m_pDoc->Connect() != 1) {
            ShowStatusText(wxString::FromUTF8(m_pDoc->GetLastConnectError()));
            return;
        }
        // A reason left from an earlier failure no longer holds.
        ShowStatusText(IDLE_STATUS_TEXT);
        m_pDoc->ResetCaptureBatch();
        m_pDoc->SetProgressSink(this);
        connect->SetLabel(CAPTION_RELEASE);
        EnableSettingsControls(false);
        Button(IDC_BUTTON_SEND_TEXT)->Enable();
    } else {
        const bool bWasWaiting = m_pDoc->IsWaitingForDevice();
        m_pDoc->Disconnect();
        // Through the same queue as the port thread's texts, so it lands
        // after its "waiting" text.
        if (bWasWaiting)
            platform::ShowStatusText(std::wstring());
        connect->SetLabel(CAPTION_CONNECT);
        EnableSettingsControls(true);
        Button(IDC_BUTTON_SEND_TEXT)->Disable();
        ApplyCustomBaudRule();
    }
}

void CSerialConfigBar::OnCustomBaud(wxCommandEvent&)
{
    m_bCustomBaud = Child<wxCheckBox>(this, IDC_CHECK_CUSTOM_BAUD)->IsChecked();
    ApplyCustomBaudRule();
}

void CSerialConfigBar::OnNewline(wxCommandEvent&)
{
    m_bNewline = Child<wxCheckBox>(this, IDC_CHECK_NEWLINE)->IsChecked();
}

void CSerialConfigBar::OnSendText(wxCommandEvent&)
{
    if (m_pDoc == nullptr)
        return;
    wxString text = Child<wxTextCtrl>(this, IDC_EDIT_SEND_TEXT)->GetValue();
    // Appended before the emptiness test: an empty field still sends CR LF.
    if (m_bNewline)
        text += L"\r\n";
    if (text.empty())
        return;
    m_pDoc->SendText(text.ToStdWstring());
}

void CSerialConfigBar::OnBrowseSendFile(wxCommandEvent&)
{
    if (m_pDoc == nullptr)
        return;
    const FileDialogRequest request { wxFD_OPEN | wxFD_FILE_MUST_EXIST, SEND_FILE_WILDCARD, wxString(), wxString() };
    const std::optional<wxString> path = m_fileDialog(wxGetTopLevelParent(this), request);
    if (!path)
        return;
    m_pDoc->m_sendPath = path->ToStdWstring();
    Child<wxTextCtrl>(this, IDC_EDIT_SEND_FILE)->ChangeValue(*path);
}

void CSerialConfigBar::OnSendFile(wxCommandEvent&)
{
    if (m_pDoc == nullptr)
        return;
    const int mode = ReadXmodemMode();
    wxButton* send = Button(IDC_BUTTON_SEND_FILE);
    if (send->GetLabel() == CAPTION_SEND) {
        if (m_pDoc->m_sendPath.empty()) {
            platform::ShowMessageBox(MESSAGE_NO_SEND_FILE);
            return;
        }
        m_pDoc->StartFileSend(mode);
        send->SetLabel(CAPTION_CANCEL);
    } else {
        m_pDoc->CancelFileSend();
        send->SetLabel(CAPTION_SEND);
    }
}

void CSerialConfigBar::OnBrowseCaptureFile(wxCommandEvent&)
{
    // The file may not change under a running capture.
    if (m_pDoc == nullptr || m_pDoc->IsCapturing())
        return;
    const wxFileName current(m_pDoc->GetCapturePath());
    const FileDialogRequest request { wxFD_SAVE | wxFD_OVERWRITE_PROMPT, CAPTURE_FILE_WILDCARD, current.GetPath(),
                                      current.GetFullName() };
    const std::optional<wxString> path = m_fileDialog(wxGetTopLevelParent(this), request);
    if (!path)
        return;
    m_pDoc->SetCapturePath(path->ToStdWstring());
    CreateEmptyFile(path->ToStdWstring());
    Child<wxTextCtrl>(this, IDC_EDIT_CAPTURE_FILE)->ChangeValue(*path);
}

void CSerialConfigBar::OnCapture(wxCommandEvent&)
{
    if (m_pDoc == nullptr)
        return;
    wxButton* capture = Button(IDC_BUTTON_CAPTURE);
    if (capture->GetLabel() == CAPTION_CAPTURE) {
        m_pDoc->SetCapture(true);
        capture->SetLabel(CAPTION_STOP);
    } else {
        m_pDoc->SetCapture(false);
        capture->SetLabel(CAPTION_CAPTURE);
    }
}

void CSerialConfigBar::SetProgress(float fraction)
{
    m_progress->SetPos(ProgressPosition(fraction));
    if (fraction == 1.0f)
        Button(IDC_BUTTON_SEND_FILE)->SetLabel(CAPTION_SEND);
    m_progress->Refresh(true);
}
