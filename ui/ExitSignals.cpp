#include "ui/ExitSignals.h"

#include "document/CTaliardDoc.h"

#include <wx/app.h>
#include <wx/docview.h>
#include <wx/modalhook.h>

#include <X11/Xlib.h>

#include <csignal>

namespace {

XIOErrorHandler g_toolkitIoErrorHandler = nullptr;

void CloseMainWindow(int signal);

// Capture written out, port closed with its settings restored.
void ReleaseDocument()
{
    if (wxDocManager* manager = wxDocManager::GetDocumentManager()) {
        if (auto* doc = dynamic_cast<CTaliardDoc*>(manager->GetCurrentDocument())) {
            doc->Disconnect();
            doc->SetCapture(false);
        }
    }
}

// A window must not close under a modal dialog, and nobody may be there to
// answer it: a signal then releases the document at once, and the window
// closes when the last dialog has gone.
class ModalDialogWatch : public wxModalDialogHook {
public:
    bool IsAnyOpen() const { return m_nOpen > 0; }
    void CloseWhenNoneOpen() { m_bClosePending = true; }

protected:
    int Enter(wxDialog*) override
    {
        ++m_nOpen;
        return wxID_NONE;
    }
    void Exit(wxDialog*) override
    {
        if (--m_nOpen == 0 && m_bClosePending) {
            m_bClosePending = false;
            wxTheApp->CallAfter([] { CloseMainWindow(0); });
        }
    }

private:
    int m_nOpen = 0;
    bool m_bClosePending = false;
};

ModalDialogWatch g_modalDialogs;

// wx calls this on the UI thread, from its event loop, not in the signal
// handler itself.
void CloseMainWindow(int)
{
    if (g_modalDialogs.IsAnyOpen()) {
        ReleaseDocument();
        g_modalDialogs.CloseWhenNoneOpen();
        return;
    }
    if (wxWindow* top = wxTheApp != nullptr ? wxTheApp->GetTopWindow() : nullptr)
        top->Close(true);
}

// The toolkit's own handler ends the process without any clean-up.
int ReleaseOnLostDisplay(Display* display)
{
    ReleaseDocument();
    return g_toolkitIoErrorHandler != nullptr ? g_toolkitIoErrorHandler(display) : 0;
}

} // namespace

void InstallExitHandlers()
{
    static bool bInstalled = false;
    if (bInstalled)
        return;
    bInstalled = true;
    g_modalDialogs.Register();
    for (int signal : { SIGTERM, SIGINT, SIGHUP })
        wxTheApp->SetSignalHandler(signal, CloseMainWindow);
    g_toolkitIoErrorHandler = XSetIOErrorHandler(ReleaseOnLostDisplay);
}
