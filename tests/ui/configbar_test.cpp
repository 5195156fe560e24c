// Drives the configuration bar's real controls inside a frame, with a real
// document whose COM1 is a pseudo-terminal; the test plays the far end on
// the master, and lrzsz `rx` receives the XMODEM transfers.
#include "ui/SerialConfigBar.h"

#include "device/PortPath.h"
#include "document/CTaliardDoc.h"
#include "platform/UiHooks.h"
#include "tests/support/PtyPair.h"
#include "tests/support/RxRunner.h"
#include "tests/ui/support/EventPump.h"
#include "tests/ui/support/GuiTestApp.h"
#include "ui/ConfigBarTemplate.h"
#include "ui/GradientProgressCtrl.h"
#include "ui/Resource.h"
#include "ui/UiHooksInstall.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/docview.h>
#include <wx/filedlg.h>
#include <wx/frame.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <termios.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace {

using namespace std::chrono_literals;
using testsupport::PumpEventsFor;
using testsupport::PumpEventsUntil;

std::filesystem::path MakeTempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "configbar_test.XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    return pattern;
}

std::vector<uint8_t> ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> Bytes(const std::string& text)
{
    return { text.begin(), text.end() };
}

class ConfigBarTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(testsupport::EnsureGuiApp()) << "no display: run under xvfb-run (packages xvfb, xauth)";
        m_tempDir = MakeTempDir();
        // The application's hooks, with message boxes recorded instead of shown.
        InstallUiHooks();
        platform::SetMessageBoxHook(
            [this](const std::wstring& text, platform::MessageIcon) { m_messages.push_back(text); });
        ASSERT_TRUE(SetPortOverride("COM1=" + m_pty.SlavePath()));

        m_docManager = std::make_unique<wxDocManager>();
        // The manager owns its templates.
        auto* docTemplate = new wxDocTemplate(m_docManager.get(), "Taliard", "*.*", "", "", "CTaliardDoc", "View",
                                              wxCLASSINFO(CTaliardDoc), nullptr);
        m_doc = std::make_unique<CTaliardDoc>();
        m_doc->SetDocumentTemplate(docTemplate);
        ASSERT_TRUE(m_doc->OnNewDocument());

        m_frame = new wxFrame(nullptr, wxID_ANY, "Taliard"); // destroyed in TearDown
        m_frame->CreateStatusBar();
        m_bar = new CSerialConfigBar(m_frame);
        m_bar->SetDocument(m_doc.get());
        m_bar->SetFileDialogFunction([this](wxWindow*, const FileDialogRequest& request) {
            m_dialogRequests.push_back(request);
            return m_dialogAnswer;
        });
        m_frame->SetClientSize(m_bar->GetSize());
        m_frame->Show();
        PumpEventsFor(20ms);
    }

    void TearDown() override
    {
        // The document goes first: it stops a transfer and the port, so no
        // progress reaches the bar after it is gone.
        m_doc.reset();
        if (m_frame != nullptr) {
            m_frame->Destroy();
            PumpEventsFor(10ms);
        }
        m_docManager.reset();
        ClearPortOverrides();
        platform::SetUiDispatchHook(nullptr);
        platform::SetMessageBoxHook(nullptr);
        platform::SetRefreshHook(nullptr);
        if (!m_tempDir.empty())
            std::filesystem::remove_all(m_tempDir);
    }

    template <typename T>
    T* Get(int id) const
    {
        auto* control = dynamic_cast<T*>(m_bar->FindWindow(id));
        EXPECT_NE(control, nullptr) << "control " << id;
        return control;
    }

    bool Enabled(int id) const { return m_bar->FindWindow(id)->IsEnabled(); }
    wxString Caption(int id) const { return m_bar->FindWindow(id)->GetLabel(); }

    // What a user's click does: only an enabled control reacts.
    void Click(int id)
    {
        wxButton* button = Get<wxButton>(id);
        ASSERT_TRUE(button->IsEnabled()) << "a disabled button cannot be clicked: " << id;
        wxCommandEvent event(wxEVT_BUTTON, id);
        event.SetEventObject(button);
        button->HandleWindowEvent(event);
    }

    void Toggle(int id)
    {
        wxCheckBox* box = Get<wxCheckBox>(id);
        ASSERT_TRUE(box->IsEnabled()) << "a disabled box cannot be clicked: " << id;
        box->SetValue(!box->GetValue());
        wxCommandEvent event(wxEVT_CHECKBOX, id);
        event.SetInt(box->GetValue() ? 1 : 0);
        event.SetEventObject(box);
        box->HandleWindowEvent(event);
    }

    void Select(int id, int index)
    {
        wxChoice* choice = Get<wxChoice>(id);
        ASSERT_TRUE(choice->IsEnabled());
        choice->SetSelection(index);
    }

    void Connect()
    {
        Click(IDC_BUTTON_CONNECT);
        ASSERT_TRUE(m_doc->IsConnected());
        ASSERT_EQ(Caption(IDC_BUTTON_CONNECT), L"释放串口");
    }

    // Everything a user can see of the bar's controls, for before/after checks.
    std::wstring Snapshot() const
    {
        std::wstring text;
        for (const wxWindow* child : m_bar->GetChildren()) {
            text += std::to_wstring(child->GetId()) + L" '" + child->GetLabel().ToStdWstring() + L"' "
                + (child->IsEnabled() ? L"on" : L"off");
            if (auto* field = dynamic_cast<const wxTextCtrl*>(child))
                text += L" [" + field->GetValue().ToStdWstring() + L"]";
            if (auto* choice = dynamic_cast<const wxChoice*>(child))
                text += L" #" + std::to_wstring(choice->GetSelection());
            if (auto* box = dynamic_cast<const wxCheckBox*>(child))
                text += box->GetValue() ? L" checked" : L" unchecked";
            if (auto* radio = dynamic_cast<const wxRadioButton*>(child))
                text += radio->GetValue() ? L" checked" : L" unchecked";
            text += L"\n";
        }
        return text;
    }

    // The pty shares one line record between its two ends.
    termios Line() const
    {
        termios tio {};
        EXPECT_EQ(tcgetattr(m_pty.MasterFd(), &tio), 0);
        return tio;
    }

    std::filesystem::path m_tempDir;
    testsupport::PtyPair m_pty;
    std::vector<std::wstring> m_messages;
    std::vector<FileDialogRequest> m_dialogRequests;
    std::optional<wxString> m_dialogAnswer;
    std::unique_ptr<wxDocManager> m_docManager;
    std::unique_ptr<CTaliardDoc> m_doc;
    wxFrame* m_frame = nullptr;
    CSerialConfigBar* m_bar = nullptr;
};

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
    EXPECT_EQ(m_bar->GetSize(), m_bar->ConvertDialogToPixels(wxSize(529, 96)));
    EXPECT_EQ(m_bar->FindWindow(IDC_EDIT_SEND_TEXT)->GetPosition(), m_bar->ConvertDialogToPixels(wxPoint(11, 11)));
    EXPECT_EQ(m_bar->FindWindow(IDC_PROGRESS)->GetRect(), wxRect(m_bar->ConvertDialogToPixels(wxPoint(341, 29)),
                                                                 m_bar->ConvertDialogToPixels(wxSize(179, 13))));
    EXPECT_TRUE(Get<wxTextCtrl>(IDC_EDIT_SEND_FILE)->HasFlag(wxTE_READONLY));
    EXPECT_TRUE(Get<wxTextCtrl>(IDC_EDIT_CAPTURE_FILE)->HasFlag(wxTE_READONLY));
    EXPECT_FALSE(Get<wxTextCtrl>(IDC_EDIT_SEND_TEXT)->HasFlag(wxTE_PROCESS_ENTER));
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
    EXPECT_EQ(m_pty.ReadFromPort(2, 2s), Bytes("\r\n"));
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
    EXPECT_EQ(m_pty.ReadUntilQuiet(200ms), Bytes("at\r\n"));
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

// ---- capture ----

TEST_F(ConfigBarTest, CaptureButtonSwitchesCaptureAndLocksTheBrowseButton)
{
    Click(IDC_BUTTON_CAPTURE);
    EXPECT_EQ(Caption(IDC_BUTTON_CAPTURE), L"停止");
    EXPECT_TRUE(m_doc->IsCapturing());

    m_dialogAnswer = wxString((m_tempDir / "locked.dat").string());
    Click(IDC_BUTTON_BROWSE_CAPTURE);
    EXPECT_TRUE(m_dialogRequests.empty());
    EXPECT_TRUE(m_doc->GetCapturePath().empty());

    Click(IDC_BUTTON_CAPTURE);
    EXPECT_EQ(Caption(IDC_BUTTON_CAPTURE), L"保存");
    EXPECT_FALSE(m_doc->IsCapturing());
}

TEST_F(ConfigBarTest, ChoosingACaptureFileEmptiesItAndShowsIt)
{
    const std::filesystem::path file = m_tempDir / "old.dat";
    WriteFile(file, Bytes("earlier capture"));
    m_dialogAnswer = wxString(file.string());

    Click(IDC_BUTTON_BROWSE_CAPTURE);

    ASSERT_EQ(m_dialogRequests.size(), 1u);
    EXPECT_EQ(m_dialogRequests[0].style, wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    EXPECT_EQ(m_dialogRequests[0].wildcard, L"Dat Files (*.dat)|*.dat|Txt Files (*.txt)|*.txt|All Files (*.*)|*.*");
    EXPECT_EQ(std::filesystem::file_size(file), 0u);
    EXPECT_EQ(m_doc->GetCapturePath(), file.wstring());
    EXPECT_EQ(Get<wxTextCtrl>(IDC_EDIT_CAPTURE_FILE)->GetValue(), file.string());

    // The next dialog starts from the current file; cancelling keeps it.
    m_dialogAnswer.reset();
    Click(IDC_BUTTON_BROWSE_CAPTURE);
    ASSERT_EQ(m_dialogRequests.size(), 2u);
    EXPECT_EQ(m_dialogRequests[1].defaultDir, m_tempDir.string());
    EXPECT_EQ(m_dialogRequests[1].defaultFile, L"old.dat");
    EXPECT_EQ(m_doc->GetCapturePath(), file.wstring());
    EXPECT_EQ(Get<wxTextCtrl>(IDC_EDIT_CAPTURE_FILE)->GetValue(), file.string());
}

TEST_F(ConfigBarTest, CapturedBytesLandInTheChosenFile)
{
    const std::filesystem::path file = m_tempDir / "capture.txt";
    m_dialogAnswer = wxString(file.string());
    Click(IDC_BUTTON_BROWSE_CAPTURE);
    Connect();
    Click(IDC_BUTTON_CAPTURE);
    ASSERT_TRUE(m_pty.WriteToPort("hello board"));
    ASSERT_TRUE(PumpEventsUntil(
        [&] {
            CCriticalSectionFuncation guard(m_doc->ReceiveLock());
            return m_doc->ReceiveTotal() >= 11;
        },
        2s));
    Click(IDC_BUTTON_CAPTURE);
    EXPECT_EQ(ReadFile(file), Bytes("hello board"));
}

// ---- file transfer ----

TEST_F(ConfigBarTest, SendWithoutAFileAsksForOne)
{
    Click(IDC_BUTTON_SEND_FILE);
    EXPECT_EQ(m_messages, std::vector<std::wstring> { L"请选择要发送的文件！" });
    EXPECT_EQ(Caption(IDC_BUTTON_SEND_FILE), L"发送");
}

TEST_F(ConfigBarTest, BrowsingForTheFileToSendShowsItAndCancelKeepsIt)
{
    const std::filesystem::path file = m_tempDir / "image.bin";
    WriteFile(file, Bytes("x"));
    m_dialogAnswer = wxString(file.string());
    Click(IDC_BUTTON_BROWSE_SEND);
    ASSERT_EQ(m_dialogRequests.size(), 1u);
    EXPECT_EQ(m_dialogRequests[0].style, wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    EXPECT_EQ(m_dialogRequests[0].wildcard, L"bin Files (*.bin)|*.bin|Dat Files (*.dat)|*.dat|All Files (*.*)|*.*");
    EXPECT_EQ(m_doc->m_sendPath, file.wstring());
    EXPECT_EQ(Get<wxTextCtrl>(IDC_EDIT_SEND_FILE)->GetValue(), file.string());

    m_dialogAnswer.reset();
    Click(IDC_BUTTON_BROWSE_SEND);
    EXPECT_EQ(m_doc->m_sendPath, file.wstring());
    EXPECT_EQ(Get<wxTextCtrl>(IDC_EDIT_SEND_FILE)->GetValue(), file.string());
}

TEST_F(ConfigBarTest, CancelTurnsTheSendButtonBack)
{
    const std::filesystem::path file = m_tempDir / "image.bin";
    WriteFile(file, Bytes("payload"));
    m_dialogAnswer = wxString(file.string());
    Click(IDC_BUTTON_BROWSE_SEND);
    Connect();
    Click(IDC_BUTTON_SEND_FILE);
    EXPECT_EQ(Caption(IDC_BUTTON_SEND_FILE), L"取消");
    Click(IDC_BUTTON_SEND_FILE);
    EXPECT_EQ(Caption(IDC_BUTTON_SEND_FILE), L"发送");
}

struct TransferCase {
    int radioId;
    std::vector<std::string> rxOptions;
    size_t blockSize;
};

void PrintTo(const TransferCase& c, std::ostream* os)
{
    *os << "radio " << c.radioId;
}

class ConfigBarTransferTest : public ConfigBarTest, public testing::WithParamInterface<TransferCase> {};

TEST_P(ConfigBarTransferTest, RunsToFullAndTurnsTheButtonBack)
{
    std::vector<uint8_t> source(3000);
    std::mt19937 random(7);
    for (uint8_t& byte : source)
        byte = static_cast<uint8_t>(random());
    const std::filesystem::path file = m_tempDir / "image.bin";
    WriteFile(file, source);
    m_dialogAnswer = wxString(file.string());
    Click(IDC_BUTTON_BROWSE_SEND);
    Get<wxRadioButton>(GetParam().radioId)->SetValue(true);
    Connect();

    Click(IDC_BUTTON_SEND_FILE);
    ASSERT_EQ(Caption(IDC_BUTTON_SEND_FILE), L"取消");
    const std::filesystem::path rxDir = m_tempDir / "rx";
    std::filesystem::create_directory(rxDir);
    std::vector<std::string> rxArgs = GetParam().rxOptions;
    rxArgs.push_back("received.bin");
    testsupport::RxRunner rx(m_pty.MasterFd(), rxArgs, rxDir.string());

    ASSERT_TRUE(PumpEventsUntil([&] { return Caption(IDC_BUTTON_SEND_FILE) == L"发送"; }, 30s))
        << "the transfer did not finish";
    EXPECT_EQ(Get<CGradientProgressCtrl>(IDC_PROGRESS)->GetPos(), 100);
    EXPECT_EQ(rx.Wait(10s), 0);
    std::vector<uint8_t> expected = source;
    expected.resize((source.size() + GetParam().blockSize - 1) / GetParam().blockSize * GetParam().blockSize, 0x1A);
    EXPECT_EQ(ReadFile(rxDir / "received.bin"), expected);
    EXPECT_TRUE(m_messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    AllVariants, ConfigBarTransferTest,
    testing::Values(TransferCase { IDC_RADIO_XMODEM_SUM, {}, 128 }, TransferCase { IDC_RADIO_XMODEM_CRC, { "-c" }, 128 },
                    TransferCase { IDC_RADIO_XMODEM_1KCRC, { "-c" }, 1024 }));

TEST_F(ConfigBarTest, SetProgressPositionsTheBarAndOnlyFullRestoresTheCaption)
{
    const std::filesystem::path file = m_tempDir / "image.bin";
    WriteFile(file, Bytes("payload"));
    m_dialogAnswer = wxString(file.string());
    Click(IDC_BUTTON_BROWSE_SEND);
    Click(IDC_BUTTON_SEND_FILE);
    ASSERT_EQ(Caption(IDC_BUTTON_SEND_FILE), L"取消");
    const auto* progress = Get<CGradientProgressCtrl>(IDC_PROGRESS);

    m_bar->SetProgress(0.5f);
    EXPECT_EQ(progress->GetPos(), 50);
    EXPECT_EQ(Caption(IDC_BUTTON_SEND_FILE), L"取消");
    m_bar->SetProgress(0.0f);
    EXPECT_EQ(progress->GetPos(), 0);
    EXPECT_EQ(Caption(IDC_BUTTON_SEND_FILE), L"取消");
    m_bar->SetProgress(0.29f);
    EXPECT_EQ(progress->GetPos(), 28);
    m_bar->SetProgress(1.0f);
    EXPECT_EQ(progress->GetPos(), 100);
    EXPECT_EQ(Caption(IDC_BUTTON_SEND_FILE), L"发送");
    m_bar->SetProgress(0.0f);
    EXPECT_EQ(progress->GetPos(), 0);
    EXPECT_EQ(Caption(IDC_BUTTON_SEND_FILE), L"发送");
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

} // namespace
