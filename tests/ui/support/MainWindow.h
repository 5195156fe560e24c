// The real main window for GUI tests, built as the application builds it:
// the document manager, the template, the new document with its frame, view
// and configuration bar, the real UI hooks, the frame shown, on the test
// program's own X server (PrivateDisplay.h). Closing it closes the document
// as the window's close box does, unless something closed it before.
// Test (UI) thread only.
#pragma once

#include "document/CTaliardDoc.h"
#include "ui/MainFrame.h"
#include "ui/TaliardDocManager.h"
#include "ui/TaliardView.h"

#include <wx/weakref.h>

#include <memory>

namespace testsupport {

class MainWindow {
public:
    MainWindow();
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    CTaliardDocManager& Manager() { return *m_manager; }
    CMainFrame& Frame() { return *m_frame; }
    // The one document and its view, as they are now.
    CTaliardDoc& Doc();
    CTaliardView& View();
    ReceivePane& Pane() { return *View().GetPane(); }

    // Sends a command to the frame as its accelerator table would.
    bool SendCommand(int id);

private:
    std::unique_ptr<CTaliardDocManager> m_manager;
    wxWeakRef<CMainFrame> m_frame; // gone once the window was closed
};

} // namespace testsupport
