// The main window: the view's pane on top, the configuration bar along the
// bottom directly above the status bar, no menu bar and no toolbar. It is
// not resizable by its border and fits itself to the forms at each initial
// update. Its keys come from the accelerator table (ui/MainAccelerators.h).
//
// UI thread only. The document template creates it with the first view.
#pragma once

#include <wx/docview.h>
#include <wx/weakref.h>

class CMainStatusBar;
class CSerialConfigBar;
class CTaliardDoc;
class wxBoxSizer;

class CMainFrame : public wxDocParentFrame {
public:
    // The size before the first initial update fits the frame to the forms.
    static constexpr int INITIAL_WIDTH = 1000;
    static constexpr int INITIAL_HEIGHT = 1000;

    explicit CMainFrame(wxDocManager* manager);
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;

    // The view's window takes everything above the bar.
    void SetViewWindow(wxWindow* window);
    // The document of the view: kept here and given to the bar. null when
    // the view closes.
    void SetDocument(CTaliardDoc* doc);
    CTaliardDoc* GetDocument() const { return m_pDoc; }

    // Sizes the frame so that the view shows exactly its form (viewForm, in
    // pixels) and the bar its own; where the forms need more room than the
    // frame has, the frame grows, so no control is hidden. Where the frame
    // would not fit the display's work area, the view gives up height (down
    // to eight lines) and width; the bar and the status bar stay whole.
    void FitToForms(const wxSize& viewForm);

    CSerialConfigBar* GetConfigBar() const { return m_configBar; }
    CMainStatusBar* GetMainStatusBar() const { return m_statusBar; }

private:
    void OnAbout(wxCommandEvent& event);
    void OnCommandWithoutHandler(wxCommandEvent& event);

    CTaliardDoc* m_pDoc = nullptr;
    // Child windows, owned by this frame.
    CSerialConfigBar* m_configBar = nullptr;
    CMainStatusBar* m_statusBar = nullptr;
    wxWeakRef<wxWindow> m_viewWindow;
    wxBoxSizer* m_sizer = nullptr;
};
