// Starts wx as a GUI application once per test program, for tests that make
// windows, bitmaps or icons; ended when the program exits. Test (UI) thread
// only. A program whose wx application already exists is left as it is.
#pragma once

#include <wx/app.h>
#include <wx/init.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace testsupport {

class GuiTestSession {
public:
    GuiTestSession()
    {
        // wx owns the application object from here on and deletes it in
        // wxEntryCleanup (or when the start fails).
        wxApp::SetInstance(std::make_unique<wxApp>().release());
        static char name[] = "taliard-test";
        static char* argv[] = {name, nullptr};
        int argc = 1;
        m_bStarted = wxEntryStart(argc, argv);
        // A failed wx assertion would open a dialog nobody answers.
        wxSetAssertHandler(AbortOnAssert);
    }
    ~GuiTestSession()
    {
        if (m_bStarted)
            wxEntryCleanup();
    }
    GuiTestSession(const GuiTestSession&) = delete;
    GuiTestSession& operator=(const GuiTestSession&) = delete;

    bool IsStarted() const { return m_bStarted; }

private:
    static void AbortOnAssert(const wxString& file, int line, const wxString& func,
                              const wxString& cond, const wxString& msg)
    {
        std::fprintf(stderr, "%s:%d: %s: wx assertion failed: %s %s\n", file.utf8_str().data(), line,
                     func.utf8_str().data(), cond.utf8_str().data(), msg.utf8_str().data());
        std::abort();
    }

    bool m_bStarted = false;
};

// False when wx cannot start, which means no display: run under
// xvfb-run (Debian packages xvfb and xauth).
inline bool EnsureGuiApp()
{
    if (wxTheApp != nullptr)
        return true;
    static GuiTestSession session;
    return session.IsStarted();
}

} // namespace testsupport
