// The framework's standard per-user settings: the recent-file list (section
// "Recent File List", entries "File1" to "File4", the newest first) and the
// print-preview page count (section "Settings", entry "PreviewPages").
// Nothing else of the program is kept. UI thread, at start-up and at exit.
#pragma once

class wxConfigBase;
class wxFileHistory;

// Fills the history from the settings; returns the preview page count
// (0 when none is kept).
int LoadStdProfileSettings(wxConfigBase& config, wxFileHistory& history);
// Replaces the recent-file list in the settings with the history's; keeps a
// non-zero preview page count.
void SaveStdProfileSettings(wxConfigBase& config, const wxFileHistory& history, int previewPages);
