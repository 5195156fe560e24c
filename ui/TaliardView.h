// The one view of the document: a multi-line pane that shows the receive
// buffer as text, rewritten 15 ms after the last byte of a burst, and that
// forwards every character typed into it to the line, one byte each.
//
// UI thread only. The port thread reaches it only through the refresh hook
// (ui/UiHooksInstall.h), which calls OnRefreshWake here on the UI thread.
#pragma once

#include "ui/MainFrame.h"
#include "ui/ReceivePane.h"
#include "ui/TaliardViewFollower.h"

#include <wx/docview.h>
#include <wx/timer.h>
#include <wx/weakref.h>

#include <cstdint>
#include <optional>

class CTaliardDoc;

class CTaliardView : public wxView {
public:
    // The form the pane covers, in dialog units of the pane's font.
    static constexpr int FORM_WIDTH_DLU = 528;
    static constexpr int FORM_HEIGHT_DLU = 222;

    CTaliardView();
    ~CTaliardView() override;
    CTaliardView(const CTaliardView&) = delete;
    CTaliardView& operator=(const CTaliardView&) = delete;

    bool OnCreate(wxDocument* doc, long flags) override;
    bool OnClose(bool deleteWindow) override;
    void OnDraw(wxDC* dc) override;
    // Caption: the document's name, " - ", the window-title field.
    void OnChangeFilename() override;

    // After the document was created, renewed or reopened: fits the frame to
    // the form, takes the document, empties the pane.
    void OnInitialUpdate();
    // Bytes arrived; arms the refresh timer for 15 ms after the last one.
    void OnRefreshWake();
    // Makes the pane show the whole receive buffer, caret at the end. Only
    // what arrived is appended when that gives the same text.
    void UpdateReceiveText();

    ReceivePane* GetPane() const { return m_pane.get(); }
    bool IsTyping() const { return m_bTyping; }

private:
    CTaliardDoc* ViewedDocument() const;
    void OnRefreshTimer(wxTimerEvent& event);
    void OnPaneChar(wxKeyEvent& event);
    void OnPaneSetFocus(wxFocusEvent& event);
    void OnPaneKillFocus(wxFocusEvent& event);
    void OnPaneText(wxCommandEvent& event);

    CTaliardDoc* m_pDoc = nullptr; // set at the initial update
    bool m_bTyping = false;        // the pane has the keyboard focus
    wxWeakRef<CMainFrame> m_frame;
    wxWeakRef<ReceivePane> m_pane;  // a child of the frame, destroyed with this view
    wxTimer m_refreshTimer;
    CTaliardViewFollower m_follower;
    ReceiveSlice m_slice; // kept, so a copy seldom allocates
    bool m_bUserEdited = false;    // the user changed the pane since the last refresh

    wxDECLARE_DYNAMIC_CLASS(CTaliardView);
};

// The caption of the main window for a document of this name.
wxString MakeFrameCaption(const wxString& documentName);

// The byte a character typed into the pane sends: the low 8 bits of its
// code. Keys that type no character (arrows, function keys, Delete) send
// nothing.
std::optional<uint8_t> ByteForTypedKey(int keyCode, int unicodeKey);
