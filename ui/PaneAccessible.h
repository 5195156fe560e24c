// Keeps a pane the program draws itself readable by screen readers: the
// pane's drawing widget gets an accessible object with the text role that
// reads the pane's text, caret and selection, and the pane reports its
// changes through it, as a native multi-line text field would. UI thread only.
#pragma once

#include <string>

class wxWindow;

// What the accessible object reads; the pane implements it.
class PaneTextSource {
public:
    virtual ~PaneTextSource() = default;
    // The whole text, one wchar_t per character (character offsets are indexes here).
    virtual const std::wstring& AccessibleText() const = 0;
    virtual long AccessibleCaret() const = 0;
    // from == to when nothing is selected.
    virtual void AccessibleSelection(long& from, long& to) const = 0;
};

// Gives window's drawing widget (m_wxwindow) an accessible object with the text role
// that reads `source`. `source` must outlive the window's widget. Call once, after the
// window is created, before anything asks for its accessible object.
void ExposePaneText(wxWindow& window, const PaneTextSource& source);
// Tell assistive tools about changes: call Removing before the text is taken away,
// Inserted after it was added, CaretMoved after the caret moved.
// Nothing is sent while no tool has asked for the pane's accessible object.
void NotifyPaneTextRemoving(wxWindow& window, long position, long length);
void NotifyPaneTextInserted(wxWindow& window, long position, long length);
void NotifyPaneCaretMoved(wxWindow& window, long caret);
