#include "ui/MainAccelerators.h"

#include <wx/defs.h>

std::vector<wxAcceleratorEntry> MainAcceleratorEntries()
{
    return {
        { wxACCEL_CTRL, 'N', wxID_NEW },
        { wxACCEL_CTRL, 'O', wxID_OPEN },
        { wxACCEL_CTRL, 'S', wxID_SAVE },
        { wxACCEL_CTRL, 'P', ID_FILE_PRINT },
        { wxACCEL_CTRL, 'Z', ID_EDIT_UNDO },
        { wxACCEL_CTRL, 'X', ID_EDIT_CUT },
        { wxACCEL_CTRL, 'C', ID_EDIT_COPY },
        { wxACCEL_CTRL, 'V', ID_EDIT_PASTE },
        { wxACCEL_ALT, WXK_BACK, ID_EDIT_UNDO },
        { wxACCEL_SHIFT, WXK_DELETE, ID_EDIT_CUT },
        { wxACCEL_CTRL, WXK_INSERT, ID_EDIT_COPY },
        { wxACCEL_SHIFT, WXK_INSERT, ID_EDIT_PASTE },
        { wxACCEL_NORMAL, WXK_F6, ID_NEXT_PANE },
        { wxACCEL_SHIFT, WXK_F6, ID_PREV_PANE },
    };
}

std::vector<int> CommandsWithoutHandler()
{
    return { ID_FILE_PRINT, ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_NEXT_PANE, ID_PREV_PANE };
}
