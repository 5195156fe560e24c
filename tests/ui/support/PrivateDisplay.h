// Gives a GUI test process an X server of its own (Xvfb), so that the
// windows, the keyboard focus and the typed keys of test programs that ctest
// runs alongside on the shared display never reach this one, nor this one's
// theirs. Test (UI) thread, before wx starts.
#pragma once

class wxWindow;

namespace testsupport {

// The screen's size, "WIDTHxHEIGHT", when not the default 1280x1024.
inline constexpr const char* SCREEN_VARIABLE = "TALIARD_TEST_SCREEN";

// Starts the server once and points DISPLAY at it; the server ends with the
// process. Does nothing once wx is running (its display is fixed then).
// Throws, naming the Debian package, when Xvfb cannot be started.
void UsePrivateDisplay();

// Raises window's frame and gives window the keyboard focus; true when the
// window has it.
bool GiveKeyboardFocus(wxWindow& window);

} // namespace testsupport
