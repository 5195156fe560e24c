#include "ui/MainFrame.h"

#include "ui/AboutDlg.h"
#include "ui/AppIcon.h"
#include "ui/AppStrings.h"
#include "ui/MainAccelerators.h"
#include "ui/MainStatusBar.h"
#include "ui/SerialConfigBar.h"

#include <wx/accel.h>
#include <wx/display.h>
#include <wx/sizer.h>

#include <algorithm>
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
    const int display = wxDisplay::GetFromWindow(this);
    const wxRect workArea = wxDisplay(display == wxNOT_FOUND ? 0 : static_cast<unsigned>(display)).GetClientArea();
    // Title bar and borders, where a window manager adds them.
    const wxSize frame = GetSize() - GetClientSize();
    const wxSize room = workArea.GetSize() - frame;
    // The sizer then asks for the view's form and the bar's own size.
    m_viewWindow->SetMinSize(viewForm);
    const wxSize wanted = m_sizer->GetMinSize();
    // The bar and the status bar stay whole; the pane gives up what does
    // not fit, down to eight lines of text.
    const int fewestLines = 8 * m_viewWindow->GetCharHeight() + (m_viewWindow->GetSize() - m_viewWindow->GetClientSize()).y;
    const wxSize fitted(std::max(std::min(viewForm.x, room.x), 1),
                        std::max(viewForm.y - std::max(wanted.y - room.y, 0), fewestLines));
    m_viewWindow->SetMinSize(fitted);
    SetSizeHints(wxDefaultSize);
    SetClientSize(m_sizer->GetMinSize());
    // No sizing border: the frame can take no other size.
    SetSizeHints(GetSize(), GetSize());
    Layout();
    // Wholly on the work area where it fits there.
    wxPoint position = GetPosition();
    position.x = std::max(workArea.x, std::min(position.x, workArea.GetRight() + 1 - GetSize().x));
    position.y = std::max(workArea.y, std::min(position.y, workArea.GetBottom() + 1 - GetSize().y));
    if (position != GetPosition())
        Move(position);
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
