// The window system's side of platform/UiHooks.h: message boxes through
// wxMessageBox, status texts to the top frame's message pane, work handed to the UI thread with CallAfter (abandoned when
// the caller is cancelled), and refresh wake-ups delivered to the view.
//
// InstallUiHooks: UI thread, once, before any other thread starts.
// SetRefreshTarget: UI thread. The installed hooks: any thread.
#pragma once

class CTaliardView;

void InstallUiHooks();

// The view that refresh wake-ups go to; it is forgotten when it is
// destroyed. Wake-ups that find no view are dropped.
void SetRefreshTarget(CTaliardView* view);
