#include "ui/MainFrame.h"

#include "ui/AboutDlg.h"
#include "ui/AppIcon.h"
#include "ui/AppStrings.h"
#include "ui/MainAccelerators.h"
#include "ui/MainStatusBar.h"
#include "ui/SerialConfigBar.h"

#include <wx/accel.h>
#include <wx/sizer.h>

#include <vector>

CMainFrame::CMainFrame(wxDocManager* manager)
    : wxDocParentFrame(manager, nullptr, wxID_ANY, APP_TITLE, wxDefaultPosition,
                       wxSize(INITIAL_WIDTH, INITIAL_HEIGHT),
                       // Fixed by its size hints, not by the style: the toolkit
                       // re-reads the screen's work area (three X round trips)
                       // at every layout of a window that is not resizable,
                       // which the receive pane asks for with every line.
                       wxDEFAULT_FRAME_STYLE)
{
    SetIcons(TaliardIcons());
    // Nothing here handles erasing: the toolkit draws the background. The
    // default style would build a device context for every repaint of the
    // receive pane, which costs a round trip to the X server each time.
    SetBackgroundStyle(wxBG_STYLE_SYSTEM);

    m_statusBar = new CMainStatusBar(this);
    SetStatusBar(m_statusBar);

    m_configBar = new CSerialConfigBar(this);
    m_sizer = new wxBoxSizer(wxVERTICAL);
    m_sizer->Add(m_configBar, wxSizerFlags(0).Expand());
    SetSizer(m_sizer);

    const std::vector<wxAcceleratorEntry> keys = MainAcceleratorEntries();
    SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(keys.size()), keys.data()));
    for (int id : CommandsWithoutHandler())
        Bind(wxEVT_MENU, &CMainFrame::OnCommandWithoutHandler, this, id);
    Bind(wxEVT_MENU, &CMainFrame::OnAbout, this, wxID_ABOUT);
}

void CMainFrame::SetViewWindow(wxWindow* window)
{
    if (m_viewWindow)
        m_sizer->Detach(m_viewWindow.get());
    m_viewWindow = window;
    m_sizer->Insert(0, window, wxSizerFlags(1).Expand());
    Layout();
}

void CMainFrame::SetDocument(CTaliardDoc* doc)
{
    m_pDoc = doc;
    m_configBar->SetDocument(doc);
}

void CMainFrame::FitToForms(const wxSize& viewForm)
{
    if (!m_viewWindow)
        return;
    // The sizer then asks for the view's form and the bar's own size.
    m_viewWindow->SetMinSize(viewForm);
    SetSizeHints(wxDefaultSize);
    SetClientSize(m_sizer->GetMinSize());
    // No sizing border: the frame can take no other size.
    SetSizeHints(GetSize(), GetSize());
    Layout();
}

void CMainFrame::OnAbout(wxCommandEvent&)
{
    CAboutDlg dialog(this);
    dialog.ShowModal();
}

void CMainFrame::OnCommandWithoutHandler(wxCommandEvent&)
{
    // Used up here, so neither the framework nor the focused text field acts
    // on the key.
}
