// The application's own texts: its title (the caption of every message box
// and the name its settings are kept under), the fields of the document
// string, and the idle status text.
#pragma once

inline constexpr const char* APP_TITLE = "Taliard";
inline constexpr const char* SETTINGS_VENDOR = "Local AppWizard-Generated Applications";

// Document string: the window-title field, the name of a new document and
// the registry file type.
inline constexpr const char* WINDOW_TITLE_FIELD = "Taliard";
inline constexpr const char* NEW_DOCUMENT_NAME = "Quorvantelle";
inline constexpr const char* DOCUMENT_TYPE_NAME = "Taliard.Document";
inline constexpr const char* FILE_FILTER_NAME = "All Files";
inline constexpr const char* FILE_FILTER = "*.*";

inline constexpr const char* IDLE_STATUS_TEXT = "Ready";
