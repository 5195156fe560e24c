// The configuration bar's form, connect and release, line settings and
// text sending, driven through its real controls on a pty-backed COM1.
#include "tests/ui/support/ConfigBarFixture.h"

#include "device/PortPath.h"
#include "tests/support/FakeDeviceTree.h"
#include "tests/ui/support/EventPump.h"
#include "ui/CommandLine.h"
#include "ui/ConfigBarTemplate.h"
#include "ui/GradientProgressCtrl.h"
#include "ui/Resource.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

namespace {

using namespace std::chrono_literals;
using testsupport::BytesOf;
using testsupport::ConfigBarTest;
using testsupport::PumpEventsFor;
using testsupport::PumpEventsUntil;

// ---- form and start state ----

TEST_F(ConfigBarTest, ControlsComeInTemplateOrderAtTheirDialogUnitPositions)
{
    std::vector<int> ids;
    for (const wxWindow* child : m_bar->GetChildren()) {
        if (child->GetId() >= IDC_BUTTON_CONNECT && child->GetId() <= IDC_CHECK_NEWLINE)
            ids.push_back(child->GetId());
    }
    EXPECT_EQ(ids, (std::vector<int> { 1015, 1012, 1022, 1013, 1000, 1001, 1003, 1005, 1006, 1007, 1008, 1009, 1010,
                                       1011, 1014, 1016, 1017, 1018, 1019, 1020, 1021, 1024 }));
    EXPECT_EQ(m_bar->GetId(), IDD_SERIAL_CONFIG_BAR);
    const CTemplateScale& scale = m_bar->GetTemplateScale();
    EXPECT_EQ(m_bar->GetSize(), scale.ToPixels(wxSize(529, 96)));
    EXPECT_EQ(m_bar->FindWindow(IDC_EDIT_SEND_TEXT)->GetPosition(), scale.ToPixels(wxPoint(11, 11)));
    EXPECT_EQ(m_bar->FindWindow(IDC_PROGRESS)->GetRect(), wxRect(scale.ToPixels(wxPoint(341, 29)), scale.ToPixels(wxSize(179, 13))));
    EXPECT_TRUE(Get<wxTextCtrl>(IDC_EDIT_SEND_FILE)->HasFlag(wxTE_READONLY));
    EXPECT_TRUE(Get<wxTextCtrl>(IDC_EDIT_CAPTURE_FILE)->HasFlag(wxTE_READONLY));
    EXPECT_FALSE(Get<wxTextCtrl>(IDC_EDIT_SEND_TEXT)->HasFlag(wxTE_PROCESS_ENTER));
}

TEST_F(ConfigBarTest, TallerToolkitListsNeitherOverlapNorLeaveTheBar)
{
    const std::pair<int, int> rows[] = { { IDC_COMBO_PORT, IDC_COMBO_STOP_BITS }, { IDC_COMBO_BAUD, IDC_COMBO_PARITY },
        { IDC_COMBO_DATA_BITS, IDC_COMBO_FLOW }, { IDC_COMBO_FLOW, IDC_BUTTON_CONNECT } };
    for (const auto& [upper, lower] : rows)
        EXPECT_FALSE(m_bar->FindWindow(upper)->GetRect().Intersects(m_bar->FindWindow(lower)->GetRect())) << upper << " " << lower;
    const wxRect bar(wxPoint(0, 0), m_bar->GetSize());
    for (const wxWindow* child : m_bar->GetChildren())
        EXPECT_TRUE(bar.Contains(child->GetRect())) << child->GetId();
}

TEST_F(ConfigBarTest, RadioButtonsFormOneGroup)
{
    EXPECT_TRUE(Get<wxRadioButton>(IDC_RADIO_XMODEM_SUM)->GetValue());
    Get<wxRadioButton>(IDC_RADIO_XMODEM_1KCRC)->SetValue(true);
    EXPECT_FALSE(Get<wxRadioButton>(IDC_RADIO_XMODEM_SUM)->GetValue());
    EXPECT_FALSE(Get<wxRadioButton>(IDC_RADIO_XMODEM_CRC)->GetValue());
    // The next radio-less control ends the group: the check boxes stay apart.
    EXPECT_TRUE(Get<wxCheckBox>(IDC_CHECK_NEWLINE)->GetValue());
}

TEST_F(ConfigBarTest, StartsReleasedIdleWithCaptureOffAndDefaultSettings)
{
    EXPECT_EQ(Caption(IDC_BUTTON_CONNECT), L"连接串口");
    EXPECT_EQ(Caption(IDC_BUTTON_SEND_FILE), L"发送");
    EXPECT_EQ(Caption(IDC_BUTTON_CAPTURE), L"保存");
    EXPECT_FALSE(Enabled(IDC_BUTTON_SEND_TEXT));
    EXPECT_FALSE(Enabled(IDC_EDIT_CUSTOM_BAUD));
    EXPECT_TRUE(Enabled(IDC_COMBO_BAUD));
    EXPECT_EQ(Get<wxTextCtrl>(IDC_EDIT_CUSTOM_BAUD)->GetValue(), L"115200");
    EXPECT_EQ(Get<wxChoice>(IDC_COMBO_PORT)->GetStringSelection(), L"COM1");
    EXPECT_EQ(Get<wxChoice>(IDC_COMBO_PORT)->GetCount(), 32u);
    EXPECT_EQ(Get<wxChoice>(IDC_COMBO_BAUD)->GetStringSelection(), L"115200");
    EXPECT_EQ(Get<wxChoice>(IDC_COMBO_DATA_BITS)->GetStringSelection(), L"8");
    EXPECT_EQ(Get<wxChoice>(IDC_COMBO_STOP_BITS)->GetStringSelection(), L"1");
    EXPECT_EQ(Get<wxChoice>(IDC_COMBO_PARITY)->GetStringSelection(), L"None");
    EXPECT_EQ(Get<wxChoice>(IDC_COMBO_FLOW)->GetStringSelection(), L"None");
    EXPECT_TRUE(Get<wxCheckBox>(IDC_CHECK_NEWLINE)->GetValue());
    EXPECT_FALSE(Get<wxCheckBox>(IDC_CHECK_CUSTOM_BAUD)->GetValue());
    const auto* progress = Get<CGradientProgressCtrl>(IDC_PROGRESS);
    EXPECT_EQ(progress->GetLower(), 0);
    EXPECT_EQ(progress->GetUpper(), 100);
    EXPECT_EQ(progress->GetPos(), 0);
}

// ---- connect and release ----

TEST_F(ConfigBarTest, ConnectLocksTheSettingsAndReleaseUnlocksThem)
{
    Connect();
    EXPECT_EQ(m_doc->m_settings.m_strPortName, L"COM1");
    for (int id : { IDC_COMBO_PORT, IDC_COMBO_BAUD, IDC_COMBO_DATA_BITS, IDC_COMBO_STOP_BITS, IDC_COMBO_PARITY,
                    IDC_COMBO_FLOW, IDC_CHECK_CUSTOM_BAUD, IDC_EDIT_CUSTOM_BAUD })
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_TRUE(Enabled(IDC_BUTTON_SEND_TEXT));

    Click(IDC_BUTTON_CONNECT);
    EXPECT_FALSE(m_doc->IsConnected());
    EXPECT_EQ(Caption(IDC_BUTTON_CONNECT), L"连接串口");
    for (int id : { IDC_COMBO_PORT, IDC_COMBO_BAUD, IDC_COMBO_DATA_BITS, IDC_COMBO_STOP_BITS, IDC_COMBO_PARITY,
                    IDC_COMBO_FLOW, IDC_CHECK_CUSTOM_BAUD })
        EXPECT_TRUE(Enabled(id)) << id;
    EXPECT_FALSE(Enabled(IDC_EDIT_CUSTOM_BAUD));
    EXPECT_FALSE(Enabled(IDC_BUTTON_SEND_TEXT));
}

TEST_F(ConfigBarTest, ReleaseWithCustomBaudEnablesTheFieldAndNotTheList)
{
    Toggle(IDC_CHECK_CUSTOM_BAUD);
    EXPECT_TRUE(Enabled(IDC_EDIT_CUSTOM_BAUD));
    EXPECT_FALSE(Enabled(IDC_COMBO_BAUD));
    Connect();
    EXPECT_EQ(m_doc->m_settings.m_strBaudRate, L"115200");
    Click(IDC_BUTTON_CONNECT);
    EXPECT_TRUE(Enabled(IDC_EDIT_CUSTOM_BAUD));
    EXPECT_FALSE(Enabled(IDC_COMBO_BAUD));
    Toggle(IDC_CHECK_CUSTOM_BAUD);
    EXPECT_FALSE(Enabled(IDC_EDIT_CUSTOM_BAUD));
    EXPECT_TRUE(Enabled(IDC_COMBO_BAUD));
}

TEST_F(ConfigBarTest, FailedConnectLeavesEveryControlAsItWas)
{
    const std::string missing = (m_tempDir / "no-such-tty").string();
    ASSERT_TRUE(SetPortOverride("COM2=" + missing));
    Select(IDC_COMBO_PORT, 1);
    Select(IDC_COMBO_PARITY, 2);
    const std::wstring before = Snapshot();

    Click(IDC_BUTTON_CONNECT);

    EXPECT_FALSE(m_doc->IsConnected());
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(m_messages, std::vector<std::wstring> { L"串口打开失败，请检查！" });
    // The reason goes to the status bar; the box keeps its fixed text.
    const wxString status = m_frame->GetStatusBar()->GetStatusText(0);
    EXPECT_FALSE(status.empty());
    EXPECT_EQ(status, wxString::FromUTF8(m_doc->GetLastConnectError()));
    EXPECT_NE(status.find(missing), wxString::npos) << status;
    // The new settings stay in the document for the next try.
    EXPECT_EQ(m_doc->m_settings.m_strPortName, L"COM2");
    EXPECT_EQ(m_doc->m_settings.m_strParity, L"奇校验");
}

TEST_F(ConfigBarTest, PortToolTipAndStatusNameTheSelectedDevice)
{
    const testsupport::FakeDeviceTree tree; // no adapters, a private config folder
    wxChoice* ports = Get<wxChoice>(IDC_COMBO_PORT);
    const wxString first = L"COM1: " + wxString::FromUTF8(m_pty.SlavePath());
    EXPECT_EQ(ports->GetToolTipText(), first);

    Select(IDC_COMBO_PORT, 2);
    wxCommandEvent selected(wxEVT_CHOICE, IDC_COMBO_PORT);
    selected.SetInt(2);
    ports->GetEventHandler()->ProcessEvent(selected);
    const wxString status = m_frame->GetStatusBar()->GetStatusText(0);
    EXPECT_TRUE(status.StartsWith(L"COM3: ")) << status;
    EXPECT_NE(status.find(L"没有设备"), wxString::npos) << status;
    EXPECT_EQ(ports->GetToolTipText(), status);
    EXPECT_EQ(ports->GetCount(), 32u) << "the entries stay as they are";
}

TEST_F(ConfigBarTest, EmptyCustomBaudAsksForARateAndConnectsNothing)
{
    Select(IDC_COMBO_PORT, 2);
    Toggle(IDC_CHECK_CUSTOM_BAUD);
    Get<wxTextCtrl>(IDC_EDIT_CUSTOM_BAUD)->ChangeValue(wxString());

    Click(IDC_BUTTON_CONNECT);

    EXPECT_EQ(m_messages, std::vector<std::wstring> { L"请输入波特率！" });
    EXPECT_FALSE(m_doc->IsConnected());
    EXPECT_EQ(Caption(IDC_BUTTON_CONNECT), L"连接串口");
    EXPECT_TRUE(Enabled(IDC_EDIT_CUSTOM_BAUD));
    // Only the port name was written before the check.
    EXPECT_EQ(m_doc->m_settings.m_strPortName, L"COM3");
    EXPECT_EQ(m_doc->m_settings.m_strBaudRate, L"115200");
}

TEST_F(ConfigBarTest, CustomBaudTextReachesTheSettingsAsTyped)
{
    Toggle(IDC_CHECK_CUSTOM_BAUD);
    Get<wxTextCtrl>(IDC_EDIT_CUSTOM_BAUD)->ChangeValue(L"57600");
    Select(IDC_COMBO_DATA_BITS, 2);
    Select(IDC_COMBO_STOP_BITS, 2);
    Connect();
    EXPECT_EQ(m_doc->m_settings.m_strBaudRate, L"57600");
    EXPECT_EQ(m_doc->m_settings.m_strDataBits, L"7");
    EXPECT_EQ(m_doc->m_settings.m_strStopBits, L"2");
    const termios line = Line();
    EXPECT_EQ(cfgetospeed(&line), static_cast<speed_t>(B57600));
    EXPECT_TRUE(line.c_cflag & CSTOPB);
}

struct ParityCase {
    int index;
    const wchar_t* word;
    bool odd;
};

void PrintTo(const ParityCase& c, std::ostream* os)
{
    *os << "parity entry " << c.index;
}

class ConfigBarParityTest : public ConfigBarTest, public testing::WithParamInterface<ParityCase> {};

// A pty keeps PARODD but clears PARENB, so PARODD tells what was asked for.
TEST_P(ConfigBarParityTest, OpensThePortWithTheParityTheListNames)
{
    Select(IDC_COMBO_PARITY, GetParam().index);
    Connect();
    EXPECT_EQ(m_doc->m_settings.m_strParity, GetParam().word);
    EXPECT_EQ((Line().c_cflag & PARODD) != 0, GetParam().odd);
}

INSTANTIATE_TEST_SUITE_P(OddEvenNone, ConfigBarParityTest,
                         testing::Values(ParityCase { 1, L"偶校验", true }, ParityCase { 2, L"奇校验", false },
                                         ParityCase { 0, L"无", false }));

// ---- sending text ----

TEST_F(ConfigBarTest, NewlineOnWithAnEmptyFieldSendsExactlyCrLf)
{
    Connect();
    Click(IDC_BUTTON_SEND_TEXT);
    EXPECT_EQ(m_pty.ReadFromPort(2, 2s), BytesOf("\r\n"));
    EXPECT_TRUE(m_pty.ReadUntilQuiet(100ms).empty());
}

TEST_F(ConfigBarTest, NewlineOffWithAnEmptyFieldSendsNothing)
{
    Connect();
    Toggle(IDC_CHECK_NEWLINE);
    Click(IDC_BUTTON_SEND_TEXT);
    EXPECT_TRUE(m_pty.ReadUntilQuiet(200ms).empty());

    Get<wxTextCtrl>(IDC_EDIT_SEND_TEXT)->ChangeValue(L"AB\u00e9");
    Click(IDC_BUTTON_SEND_TEXT);
    EXPECT_EQ(m_pty.ReadUntilQuiet(200ms), (std::vector<uint8_t> { 'A', 'B', 0xE9 }));
    // The field keeps its text for the next send.
    EXPECT_EQ(Get<wxTextCtrl>(IDC_EDIT_SEND_TEXT)->GetValue(), L"AB\u00e9");
}

TEST_F(ConfigBarTest, TextFollowedByNewlineWhenChecked)
{
    Connect();
    Get<wxTextCtrl>(IDC_EDIT_SEND_TEXT)->ChangeValue(L"at");
    Click(IDC_BUTTON_SEND_TEXT);
    EXPECT_EQ(m_pty.ReadUntilQuiet(200ms), BytesOf("at\r\n"));
}

TEST_F(ConfigBarTest, EnterInTheTextFieldSendsNothing)
{
    Connect();
    wxTextCtrl* field = Get<wxTextCtrl>(IDC_EDIT_SEND_TEXT);
    m_frame->Raise();
    field->SetFocus();
    wxUIActionSimulator keyboard;
    keyboard.MouseMove(field->GetScreenRect().GetPosition() + wxPoint(5, 5));
    ASSERT_TRUE(PumpEventsUntil([&] { return wxWindow::FindFocus() == field; }, 2s));
    // A typed letter shows the keys really reach the field.
    keyboard.Char('x');
    ASSERT_TRUE(PumpEventsUntil([&] { return field->GetValue() == L"x"; }, 2s));
    keyboard.Char(WXK_RETURN);
    PumpEventsFor(200ms);
    EXPECT_TRUE(m_pty.ReadUntilQuiet(100ms).empty());
}

// ---- without a document ----

TEST_F(ConfigBarTest, WithoutADocumentTheButtonsDoNothing)
{
    m_bar->SetDocument(nullptr);
    m_dialogAnswer = wxString((m_tempDir / "x.dat").string());
    const std::wstring before = Snapshot();
    for (int id : { IDC_BUTTON_CONNECT, IDC_BUTTON_BROWSE_SEND, IDC_BUTTON_SEND_FILE, IDC_BUTTON_BROWSE_CAPTURE,
                    IDC_BUTTON_CAPTURE })
        Click(id);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_TRUE(m_messages.empty());
    EXPECT_TRUE(m_dialogRequests.empty());
}

TEST(ConfigBarVersion, IsTheOneTheCommandLinePrints)
{
    std::wstring label;
    for (const TemplateControl& control : ConfigBarTemplate()) {
        if (control.caption[0] == L'V')
            label = control.caption;
    }
    ASSERT_FALSE(label.empty());
    EXPECT_EQ(CommandLineVersionText(), "Taliard " + std::string(label.begin() + 1, label.end()) + "\n");
}

} // namespace
