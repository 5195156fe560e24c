// The main window's accelerator table. New, Open and Save are the document
// manager's commands; the other keys carry commands that nothing handles,
// and the frame uses them up so the focused control never sees them
// (Ctrl+C in a text field does not copy). Pure; any thread.
#pragma once

#include <wx/accel.h>

#include <vector>

// The commands without a handler keep their own numbers, not wx's stock ids:
// the document manager would print on wxID_PRINT, and text fields act on the
// stock edit ids themselves.
constexpr int ID_FILE_PRINT = 57607;
constexpr int ID_EDIT_UNDO = 57643;
constexpr int ID_EDIT_CUT = 57635;
constexpr int ID_EDIT_COPY = 57634;
constexpr int ID_EDIT_PASTE = 57637;
constexpr int ID_NEXT_PANE = 57680;
constexpr int ID_PREV_PANE = 57681;

// In table order.
std::vector<wxAcceleratorEntry> MainAcceleratorEntries();
// The command ids of the table that have no handler, each once.
std::vector<int> CommandsWithoutHandler();
