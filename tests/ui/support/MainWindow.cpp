#include "tests/ui/support/MainWindow.h"

#include "tests/ui/support/EventPump.h"
#include "tests/ui/support/GuiTestApp.h"
#include "tests/ui/support/PrivateDisplay.h"
#include "ui/TaliardDocTemplate.h"
#include "ui/UiHooksInstall.h"

#include <stdexcept>

namespace testsupport {

MainWindow::MainWindow()
{
    UsePrivateDisplay();
    if (!EnsureGuiApp())
        throw std::runtime_error("no display: run under xvfb-run (Debian packages xvfb and xauth)");
    InstallUiHooks();
    m_manager = std::make_unique<CTaliardDocManager>();
    // Owned by the manager.
    auto* docTemplate = new CTaliardDocTemplate(m_manager.get());
    if (!m_manager->CreateDocument(wxString(), wxDOC_NEW) || !docTemplate->GetFrame())
        throw std::runtime_error("the new document was not created");
    m_frame = docTemplate->GetFrame();
    m_frame->Show();
    PumpEventsUntil([this] { return m_frame->IsShownOnScreen(); }, std::chrono::seconds(5));
    PumpEventsFor(std::chrono::milliseconds(20));
}

MainWindow::~MainWindow()
{
    // The close box: the manager closes the document, then the frame goes.
    if (m_frame)
        m_frame->Close(true);
    PumpEventsUntil([this] { return !m_frame; }, std::chrono::seconds(5));
    m_manager.reset();
}

CTaliardDoc& MainWindow::Doc()
{
    return dynamic_cast<CTaliardDoc&>(*m_manager->GetCurrentDocument());
}

CTaliardView& MainWindow::View()
{
    return dynamic_cast<CTaliardView&>(*Doc().GetFirstView());
}

bool MainWindow::SendCommand(int id)
{
    wxCommandEvent event(wxEVT_MENU, id);
    event.SetEventObject(m_frame.get());
    return m_frame->HandleWindowEvent(event);
}

} // namespace testsupport
