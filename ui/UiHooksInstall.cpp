#include "ui/UiHooksInstall.h"

#include "platform/UiHooks.h"
#include "ui/AppStrings.h"
#include "ui/TaliardView.h"

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/msgdlg.h>
#include <wx/thread.h>
#include <wx/weakref.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <utility>

namespace {

// Touched on the UI thread only.
wxWeakRef<CTaliardView> g_refreshTarget;

void ShowMessageBoxOnUiThread(const std::wstring& text, platform::MessageIcon icon)
{
    wxASSERT(wxIsMainThread());
    const long iconStyle = icon == platform::MessageIcon::Stop ? wxICON_STOP : wxICON_EXCLAMATION;
    wxMessageBox(wxString(text), APP_TITLE, wxOK | iconStyle, wxTheApp ? wxTheApp->GetTopWindow() : nullptr);
}

// What the waiting caller and the UI thread share: whichever comes second
// finds out from it whether the work runs. Held by both, so neither frees
// it under the other.
struct DispatchState {
    std::mutex lock;
    std::condition_variable changed;
    std::function<void()> work;
    bool bStarted = false;
    bool bFinished = false;
    bool bAbandoned = false;
};

// How often a waiting caller looks at its cancel flag.
constexpr std::chrono::milliseconds CANCEL_POLL { 2 };

bool RunOnUiThreadAndWait(std::function<void()> work, const std::atomic<bool>& cancelled)
{
    if (cancelled.load())
        return false;
    if (wxIsMainThread()) {
        work();
        return true;
    }
    wxApp* app = wxTheApp;
    if (!app)
        return false;

    auto state = std::make_shared<DispatchState>();
    state->work = std::move(work);
    app->CallAfter([state] {
        {
            std::lock_guard guard(state->lock);
            if (state->bAbandoned)
                return;
            state->bStarted = true;
        }
        state->work();
        {
            std::lock_guard guard(state->lock);
            state->bFinished = true;
            state->work = nullptr;
        }
        state->changed.notify_all();
    });

    std::unique_lock guard(state->lock);
    while (!state->bFinished) {
        // Once started, the work uses the caller's data: wait for its end.
        if (!state->bStarted && cancelled.load()) {
            state->bAbandoned = true;
            state->work = nullptr;
            return false;
        }
        state->changed.wait_for(guard, CANCEL_POLL);
    }
    return true;
}

void WakeRefreshTarget()
{
    // The port thread may call this while the application shuts down; the
    // view is looked up only once back on the UI thread.
    if (wxApp* app = wxTheApp) {
        app->CallAfter([] {
            if (CTaliardView* view = g_refreshTarget.get())
                view->OnRefreshWake();
        });
    }
}

void PostStatusText(const std::wstring& text)
{
    if (wxApp* app = wxTheApp) {
        app->CallAfter([text] {
            auto* frame = wxDynamicCast(wxTheApp->GetTopWindow(), wxFrame);
            if (frame != nullptr && frame->GetStatusBar() != nullptr)
                frame->SetStatusText(text.empty() ? wxString(IDLE_STATUS_TEXT) : wxString(text), 0);
        });
    }
}

} // namespace

void InstallUiHooks()
{
    platform::SetMessageBoxHook(ShowMessageBoxOnUiThread);
    platform::SetUiDispatchHook(RunOnUiThreadAndWait);
    platform::SetRefreshHook(WakeRefreshTarget);
    platform::SetStatusHook(PostStatusText);
}

void SetRefreshTarget(CTaliardView* view)
{
    g_refreshTarget = view;
}
