#include "ui/TaliardDocManager.h"

#include "ui/AppStrings.h"
#include "ui/TaliardView.h"

#include <wx/filedlg.h>
#include <wx/filename.h>

CTaliardDocManager::CTaliardDocManager()
    : wxDocManager(0, false)
{
    // Initialize creates the file history through the override above, which
    // the base constructor could not reach yet.
    Initialize();
    SetMaxDocsOpen(1);
    Bind(wxEVT_MENU, &CTaliardDocManager::OnSave, this, wxID_SAVE);
}

wxDocument* CTaliardDocManager::CreateDocument(const wxString& path, long flags)
{
    wxDocument* doc = GetDocuments().IsEmpty() ? nullptr : static_cast<wxDocument*>(GetDocuments().GetFirst()->GetData());
    if (!doc) {
        doc = wxDocManager::CreateDocument(path, flags);
    } else if (!ReinitialiseDocument(*doc, path, flags)) {
        return nullptr;
    }
    if (!doc)
        return nullptr;
    for (wxView* view : doc->GetViewsVector()) {
        if (auto* taliardView = dynamic_cast<CTaliardView*>(view))
            taliardView->OnInitialUpdate();
    }
    return doc;
}

bool CTaliardDocManager::ReinitialiseDocument(wxDocument& doc, const wxString& pathGiven, long flags)
{
    if (flags & wxDOC_NEW)
        return doc.OnNewDocument();

    wxString path = pathGiven;
    if (path.empty()) {
        wxDocTemplate* docTemplate = doc.GetDocumentTemplate();
        if (!SelectDocumentPath(&docTemplate, 1, path, flags) || path.empty())
            return false;
    }
    if (!doc.OnOpenDocument(path))
        return false;
    NameDocumentAfter(doc, path);
    return true;
}

void CTaliardDocManager::NameDocumentAfter(wxDocument& doc, const wxString& path)
{
    // The file's name replaces the document name in the caption.
    doc.SetTitle(wxFileName(path).GetFullName());
    doc.SetFilename(path, true);
    AddFileToHistory(path);
}

void CTaliardDocManager::OnSave(wxCommandEvent&)
{
    wxDocument* doc = GetCurrentDocument();
    if (!doc)
        return;
    if (doc->GetDocumentSaved()) {
        doc->Save();
        return;
    }
    wxDocTemplate* docTemplate = doc->GetDocumentTemplate();
    const wxString filter = docTemplate->GetDescription() + " (" + docTemplate->GetFileFilter() + ")|"
        + docTemplate->GetFileFilter();
    const wxString path = wxFileSelector("Save As", GetLastDirectory(), doc->GetUserReadableName(), wxString(),
                                         filter, wxFD_SAVE | wxFD_OVERWRITE_PROMPT, doc->GetDocumentWindow());
    if (!path.empty())
        SaveDocumentTo(*doc, path);
}

bool CTaliardDocManager::SaveDocumentTo(wxDocument& doc, const wxString& path)
{
    if (!doc.OnSaveDocument(path))
        return false;
    NameDocumentAfter(doc, path);
    return true;
}

wxString CTaliardDocManager::MakeNewDocumentName()
{
    return NEW_DOCUMENT_NAME;
}

wxFileHistory* CTaliardDocManager::OnCreateFileHistory()
{
    return new wxFileHistory(RECENT_FILE_COUNT);
}
