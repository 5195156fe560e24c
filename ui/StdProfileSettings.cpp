#include "ui/StdProfileSettings.h"

#include <wx/config.h>
#include <wx/filehistory.h>

namespace {

const char* const RECENT_FILE_SECTION = "/Recent File List";
const char* const PREVIEW_PAGES_ENTRY = "/Settings/PreviewPages";

wxString RecentFileEntry(size_t index)
{
    return wxString::Format("%s/File%zu", RECENT_FILE_SECTION, index + 1);
}

} // namespace

int LoadStdProfileSettings(wxConfigBase& config, wxFileHistory& history)
{
    // Added oldest first, so the newest ends up on top.
    for (size_t i = static_cast<size_t>(history.GetMaxFiles()); i-- > 0;) {
        wxString path;
        if (config.Read(RecentFileEntry(i), &path) && !path.empty())
            history.AddFileToHistory(path);
    }
    return static_cast<int>(config.ReadLong(PREVIEW_PAGES_ENTRY, 0));
}

void SaveStdProfileSettings(wxConfigBase& config, const wxFileHistory& history, int previewPages)
{
    config.DeleteGroup(RECENT_FILE_SECTION);
    for (size_t i = 0; i < history.GetCount(); ++i)
        config.Write(RecentFileEntry(i), history.GetHistoryFile(i));
    if (previewPages != 0)
        config.Write(PREVIEW_PAGES_ENTRY, previewPages);
    config.Flush();
}
