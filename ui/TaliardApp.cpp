#include "ui/TaliardApp.h"

#include "ui/AppStrings.h"
#include "ui/ExitSignals.h"
#include "ui/MainFrame.h"
#include "ui/StdProfileSettings.h"
#include "ui/TaliardDocManager.h"
#include "ui/TaliardDocTemplate.h"
#include "ui/UiHooksInstall.h"

#include <wx/config.h>

namespace {

std::string g_startupFile;

} // namespace

CTaliardApp::CTaliardApp() = default;
CTaliardApp::~CTaliardApp() = default;

void CTaliardApp::SetStartupFile(const std::string& fileName)
{
    g_startupFile = fileName;
}

bool CTaliardApp::OnInit()
{
    // Before any other thread exists.
    InstallUiHooks();
    SetAppName(APP_TITLE);
    SetAppDisplayName(APP_TITLE);
    SetVendorName(SETTINGS_VENDOR);

    // Registering the common controls, the base initialisation, the
    // component libraries and control hosting have nothing to do here: GTK
    // is up before OnInit, and wxApp::OnInit would only parse the command
    // line in its own way, which is ours to do below.

    // The per-user settings hold only the framework's recent-file list.
    wxConfigBase::Set(new wxConfig(APP_TITLE, SETTINGS_VENDOR));
    m_docManager = std::make_unique<CTaliardDocManager>();
    m_nPreviewPages = LoadStdProfileSettings(*wxConfigBase::Get(), *m_docManager->GetFileHistory());

    // Owned by the document manager.
    auto* docTemplate = new CTaliardDocTemplate(m_docManager.get());

    // The command line (parsed in main). Without a file: the new document,
    // which brings the frame and the view.
    const bool bCreated = g_startupFile.empty()
        ? m_docManager->CreateDocument(wxString(), wxDOC_NEW) != nullptr
        : m_docManager->CreateDocument(wxString::FromUTF8(g_startupFile), wxDOC_SILENT) != nullptr;
    if (!bCreated)
        return false;

    CMainFrame* frame = docTemplate->GetFrame();
    if (!frame)
        return false;
    SetTopWindow(frame);
    InstallExitHandlers();
    frame->Show();
    frame->Update();
    return true;
}

int CTaliardApp::OnExit()
{
    if (m_docManager) {
        SaveStdProfileSettings(*wxConfigBase::Get(), *m_docManager->GetFileHistory(), m_nPreviewPages);
        m_docManager.reset();
    }
    // Deletes the settings object.
    return wxApp::OnExit();
}
