#include "ui/AppIcon.h"

#include <wx/icon.h>

#include "ui/taliard16.xpm"
#include "ui/taliard32.xpm"
#include "ui/taliard48.xpm"

wxIconBundle TaliardIcons()
{
    wxIconBundle icons;
    icons.AddIcon(wxIcon(taliard16_xpm));
    icons.AddIcon(wxIcon(taliard32_xpm));
    icons.AddIcon(wxIcon(taliard48_xpm));
    return icons;
}
