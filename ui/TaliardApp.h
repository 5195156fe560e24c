// The application object: the start-up sequence (settings, recent-file
// list, the document manager and template, the new document with its frame
// and view, the shown window) and, at exit, the recent-file list written
// back. UI thread only.
#pragma once

#include <wx/app.h>

#include <memory>
#include <string>

class CTaliardDocManager;

class CTaliardApp : public wxApp {
public:
    CTaliardApp();
    ~CTaliardApp() override;
    CTaliardApp(const CTaliardApp&) = delete;
    CTaliardApp& operator=(const CTaliardApp&) = delete;

    // A file named on the command line opens as the document; empty means
    // a new document. Set before the application starts.
    static void SetStartupFile(const std::string& fileName);

    bool OnInit() override;
    int OnExit() override;

private:
    std::unique_ptr<CTaliardDocManager> m_docManager;
    int m_nPreviewPages = 0;
};
