// The document manager of a single-document application: there is one
// document for the whole run. New and Open re-initialise that document in
// place (the configuration bar keeps pointing at it and the port stays as
// it was) and give its view a new initial update. Save of a document
// without a file asks for one and keeps the name as chosen. New documents
// are named "Quorvantelle"; the recent-file list holds 4 entries.
// UI thread only.
#pragma once

#include <wx/docview.h>

class CTaliardDocManager : public wxDocManager {
public:
    static constexpr int RECENT_FILE_COUNT = 4;

    CTaliardDocManager();
    CTaliardDocManager(const CTaliardDocManager&) = delete;
    CTaliardDocManager& operator=(const CTaliardDocManager&) = delete;

    // The first call creates the document, its view and the frame; later
    // calls renew (wxDOC_NEW) or reopen the same document. Then the view's
    // initial update. null when creation, the dialog or the opening failed.
    wxDocument* CreateDocument(const wxString& path, long flags = 0) override;
    wxString MakeNewDocumentName() override;
    wxFileHistory* OnCreateFileHistory() override;

    // Writes the document to path, which then names it in the caption and
    // the recent-file list. False when writing failed.
    bool SaveDocumentTo(wxDocument& doc, const wxString& path);

private:
    bool ReinitialiseDocument(wxDocument& doc, const wxString& path, long flags);
    void NameDocumentAfter(wxDocument& doc, const wxString& path);
    // The framework's own Save As would add a "." to a name chosen without
    // an extension, as this template has no default extension.
    void OnSave(wxCommandEvent& event);
};
