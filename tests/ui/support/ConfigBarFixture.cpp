#include "tests/ui/support/ConfigBarFixture.h"

#include "device/PortPath.h"
#include "platform/UiHooks.h"
#include "tests/ui/support/EventPump.h"
#include "tests/ui/support/GuiTestApp.h"
#include "ui/Resource.h"
#include "ui/UiHooksInstall.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include <fstream>
#include <iterator>

namespace testsupport {
namespace {

using namespace std::chrono_literals;

std::filesystem::path MakeTempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "configbar_test.XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    return pattern;
}

} // namespace

std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

void WriteWholeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> BytesOf(const std::string& text)
{
    return { text.begin(), text.end() };
}

void ConfigBarTest::SetUp()
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

void ConfigBarTest::TearDown()
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

void ConfigBarTest::Click(int id)
{
    wxButton* button = Get<wxButton>(id);
    ASSERT_TRUE(button->IsEnabled()) << "a disabled button cannot be clicked: " << id;
    wxCommandEvent event(wxEVT_BUTTON, id);
    event.SetEventObject(button);
    button->HandleWindowEvent(event);
}

void ConfigBarTest::Toggle(int id)
{
    wxCheckBox* box = Get<wxCheckBox>(id);
    ASSERT_TRUE(box->IsEnabled()) << "a disabled box cannot be clicked: " << id;
    box->SetValue(!box->GetValue());
    wxCommandEvent event(wxEVT_CHECKBOX, id);
    event.SetInt(box->GetValue() ? 1 : 0);
    event.SetEventObject(box);
    box->HandleWindowEvent(event);
}

void ConfigBarTest::Select(int id, int index)
{
    wxChoice* choice = Get<wxChoice>(id);
    ASSERT_TRUE(choice->IsEnabled());
    choice->SetSelection(index);
}

void ConfigBarTest::Connect()
{
    Click(IDC_BUTTON_CONNECT);
    ASSERT_TRUE(m_doc->IsConnected());
    ASSERT_EQ(Caption(IDC_BUTTON_CONNECT), L"释放串口");
}

std::wstring ConfigBarTest::Snapshot() const
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

termios ConfigBarTest::Line() const
{
    termios tio {};
    EXPECT_EQ(tcgetattr(m_pty.MasterFd(), &tio), 0);
    return tio;
}

} // namespace testsupport
