// Running the wx event loop from GUI tests while other threads work: pump
// events until a condition holds, so that work they hand to the UI thread
// (CallAfter) runs. Test (UI) thread only.
#pragma once

#include <chrono>
#include <functional>

namespace testsupport {

// Handles pending window-system and wx events until done() is true (then
// true) or the time runs out (then false).
bool PumpEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
// Handles events for the given time.
void PumpEventsFor(std::chrono::milliseconds duration);

} // namespace testsupport
