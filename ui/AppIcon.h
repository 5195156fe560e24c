// The application icon (a terminal window with a prompt) in 16, 32 and 48
// pixels, for the frame, the About box and the desktop entry's PNG twin in
// ui/resources/. UI thread only: icons are window-system objects.
#pragma once

#include <wx/iconbndl.h>

wxIconBundle TaliardIcons();
