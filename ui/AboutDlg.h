// The About box: the application icon, the name and version, and an OK
// button that closes it. Laid out from its template's dialog units in the
// dialog's own font. UI thread only; shown modally by the application.
#pragma once

#include <wx/dialog.h>

class CAboutDlg : public wxDialog {
public:
    explicit CAboutDlg(wxWindow* parent);
};
