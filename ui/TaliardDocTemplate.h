// The single-document template: the document CTaliardDoc, the view
// CTaliardView and the main frame, which the template creates together with
// the first view (the frame outlives later renewals of the document).
// UI thread only.
#pragma once

#include "ui/MainFrame.h"

#include <wx/docview.h>
#include <wx/weakref.h>

class CTaliardDocTemplate : public wxDocTemplate {
public:
    // Registers itself with the manager, which owns it from then on.
    explicit CTaliardDocTemplate(wxDocManager* manager);

    wxView* CreateView(wxDocument* doc, long flags = 0) override;
    // null until the first view is created, and after the frame is gone.
    CMainFrame* GetFrame() const { return m_frame.get(); }

private:
    wxWeakRef<CMainFrame> m_frame;
};
