#include "platform/UiHooks.h"

#include <cstdio>
#include <utility>

namespace platform {
namespace {

MessageBoxHook g_messageBox;
UiDispatchHook g_uiDispatch;
RefreshHook g_refresh;
StatusHook g_status;

} // namespace

void SetMessageBoxHook(MessageBoxHook hook) { g_messageBox = std::move(hook); }
void SetUiDispatchHook(UiDispatchHook hook) { g_uiDispatch = std::move(hook); }
void SetRefreshHook(RefreshHook hook) { g_refresh = std::move(hook); }
void SetStatusHook(StatusHook hook) { g_status = std::move(hook); }

void ShowMessageBox(const std::wstring& text, MessageIcon icon)
{
    if (g_messageBox) {
        g_messageBox(text, icon);
        return;
    }
    std::fprintf(stderr, "Taliard: %ls\n", text.c_str());
}

void ShowStatusText(const std::wstring& text)
{
    if (g_status)
        g_status(text);
}

bool RunOnUiThread(std::function<void()> work, const std::atomic<bool>& cancelled)
{
    if (g_uiDispatch)
        return g_uiDispatch(std::move(work), cancelled);
    if (cancelled.load())
        return false;
    work();
    return true;
}

void WakeUiForRefresh()
{
    if (g_refresh)
        g_refresh();
}

} // namespace platform
