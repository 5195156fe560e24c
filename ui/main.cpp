#include "ui/TaliardApp.h"

wxIMPLEMENT_APP(CTaliardApp);
