#include "ui/AboutDlg.h"

#include "ui/AppIcon.h"
#include "ui/Resource.h"

#include <wx/button.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

CAboutDlg::CAboutDlg(wxWindow* parent)
    : wxDialog(parent, IDD_ABOUTBOX, "About Taliard", wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE)
{
    const auto dlu = [this](int x, int y) { return ConvertDialogToPixels(wxPoint(x, y)); };
    const auto dluSize = [this](int w, int h) { return ConvertDialogToPixels(wxSize(w, h)); };

    // The icon keeps its own size, as an icon control does; the children
    // belong to the dialog.
    new wxStaticBitmap(this, wxID_ANY, TaliardIcons().GetIcon(wxSize(32, 32)), dlu(11, 17));
    new wxStaticText(this, wxID_STATIC, "Taliard Version 1.0", dlu(40, 10), dluSize(119, 8),
                     wxST_NO_AUTORESIZE);
    auto* ok = new wxButton(this, wxID_OK, "OK", dlu(178, 7), dluSize(50, 16));
    ok->SetDefault();

    SetClientSize(dluSize(235, 55));
    SetIcons(TaliardIcons());
    CentreOnParent();
}
