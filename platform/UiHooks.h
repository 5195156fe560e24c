// The few things non-UI code needs from the window system, as replaceable
// hooks: a message box, a status-bar text, running work on the UI thread,
// and waking the UI thread for a refresh. The application installs the real
// ones at start-up; tests install recorders. Without hooks, work runs on the calling thread and
// message boxes go to standard error.
//
// Install hooks before any other thread can call them; after that every
// function here may be called from any thread.
#pragma once

#include <atomic>
#include <functional>
#include <string>

namespace platform {

enum class MessageIcon { Exclamation, Stop };

using MessageBoxHook = std::function<void(const std::wstring& text, MessageIcon icon)>;
// Runs work on the UI thread and waits until it has run (true) or until
// cancelled becomes true (false: the work will then never run).
using UiDispatchHook = std::function<bool(std::function<void()> work, const std::atomic<bool>& cancelled)>;
using RefreshHook = std::function<void()>;
using StatusHook = std::function<void(const std::wstring& text)>;

void SetMessageBoxHook(MessageBoxHook hook);
void SetUiDispatchHook(UiDispatchHook hook);
void SetRefreshHook(RefreshHook hook);
void SetStatusHook(StatusHook hook);

// Shows a modal box with the application's caption and one OK button; must
// be called on the UI thread (use RunOnUiThread from other threads).
void ShowMessageBox(const std::wstring& text, MessageIcon icon = MessageIcon::Exclamation);
// Puts a reason in the status bar's message pane from any thread, without
// waiting; an empty text puts back the idle text. Dropped without a hook.
void ShowStatusText(const std::wstring& text);
bool RunOnUiThread(std::function<void()> work, const std::atomic<bool>& cancelled);
// Asks the UI thread to come and look at new data; cheap, never blocks.
void WakeUiForRefresh();

} // namespace platform
