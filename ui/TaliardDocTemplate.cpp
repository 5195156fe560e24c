#include "ui/TaliardDocTemplate.h"

#include "document/CTaliardDoc.h"
#include "ui/AppStrings.h"
#include "ui/TaliardView.h"

CTaliardDocTemplate::CTaliardDocTemplate(wxDocManager* manager)
    : wxDocTemplate(manager, FILE_FILTER_NAME, FILE_FILTER, wxString(), wxString(), DOCUMENT_TYPE_NAME,
                    DOCUMENT_TYPE_NAME, wxCLASSINFO(CTaliardDoc), wxCLASSINFO(CTaliardView))
{
}

wxView* CTaliardDocTemplate::CreateView(wxDocument* doc, long flags)
{
    if (!m_frame)
        m_frame = new CMainFrame(GetDocumentManager());
    return wxDocTemplate::CreateView(doc, flags);
}
