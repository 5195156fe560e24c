#include "ui/ExitSignals.h"

#include "document/CTaliardDoc.h"

#include <wx/app.h>
#include <wx/docview.h>

#include <X11/Xlib.h>

#include <csignal>

namespace {

XIOErrorHandler g_toolkitIoErrorHandler = nullptr;

// wx calls this on the UI thread, from its event loop, not in the signal
// handler itself.
void CloseMainWindow(int)
{
    if (wxWindow* top = wxTheApp != nullptr ? wxTheApp->GetTopWindow() : nullptr)
        top->Close(true);
}

// The toolkit's own handler ends the process without any clean-up.
int ReleaseOnLostDisplay(Display* display)
{
    if (wxDocManager* manager = wxDocManager::GetDocumentManager()) {
        if (auto* doc = dynamic_cast<CTaliardDoc*>(manager->GetCurrentDocument())) {
            doc->Disconnect();
            doc->SetCapture(false);
        }
    }
    return g_toolkitIoErrorHandler != nullptr ? g_toolkitIoErrorHandler(display) : 0;
}

} // namespace

void InstallExitHandlers()
{
    for (int signal : { SIGTERM, SIGINT, SIGHUP })
        wxTheApp->SetSignalHandler(signal, CloseMainWindow);
    g_toolkitIoErrorHandler = XSetIOErrorHandler(ReleaseOnLostDisplay);
}
