#include "tests/ui/support/EventPump.h"

#include <wx/app.h>

#include <thread>

namespace testsupport {
namespace {

void HandlePendingEvents()
{
    wxTheApp->Yield(true);
    wxTheApp->ProcessPendingEvents();
    // Idle time is when wx deletes destroyed windows.
    wxTheApp->ProcessIdle();
}

} // namespace

bool PumpEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        HandlePendingEvents();
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void PumpEventsFor(std::chrono::milliseconds duration)
{
    PumpEventsUntil([] { return false; }, duration);
}

} // namespace testsupport
