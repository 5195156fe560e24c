// The strip of controls along the bottom of the main window: port settings
// and connect/release, text send, XMODEM file send with its progress bar, and
// capture to a file. It holds no serial logic: every action is a call on the
// document. UI thread only; SetProgress too (the document dispatches it).
#pragma once

#include "document/ProgressSink.h"
#include "ui/ConfigBarTemplate.h"

#include <wx/panel.h>

#include <functional>
#include <optional>

class CGradientProgressCtrl;
class CTaliardDoc;
class wxButton;
class wxCheckBox;
class wxChoice;
class wxTextCtrl;

// What the bar asks of a file dialog.
struct FileDialogRequest {
    long style; // wxFD_OPEN or wxFD_SAVE plus their flags
    wxString wildcard;
    wxString defaultDir;
    wxString defaultFile;
};
// Shows the dialog; the chosen full path, or nothing when cancelled.
using FileDialogFunction = std::function<std::optional<wxString>(wxWindow* owner, const FileDialogRequest&)>;

class CSerialConfigBar : public wxPanel, public CProgressSink {
public:
    explicit CSerialConfigBar(wxWindow* parent);
    CSerialConfigBar(const CSerialConfigBar&) = delete;
    CSerialConfigBar& operator=(const CSerialConfigBar&) = delete;

    // Every action goes to this document; with none set the bar does nothing.
    void SetDocument(CTaliardDoc* doc) { m_pDoc = doc; }
    CTaliardDoc* GetDocument() const { return m_pDoc; }

    void SetProgress(float fraction) override;

    // Dialog units to pixels as the controls were placed.
    const CTemplateScale& GetTemplateScale() const { return m_scale; }

    // Replaces the modal wxFileDialog (tests answer it themselves).
    void SetFileDialogFunction(FileDialogFunction function) { m_fileDialog = std::move(function); }

private:
    void InitControls();
    void ApplyCustomBaudRule();
    void EnableSettingsControls(bool enable);
    int ReadXmodemMode() const;
    wxButton* Button(int id) const;
    void ShowStatusText(const wxString& text);
    // Names the selected port's device in the port list's tool tip; returns
    // the text.
    wxString UpdatePortToolTip();

    void OnConnect(wxCommandEvent& event);
    void OnBrowseSendFile(wxCommandEvent& event);
    void OnSendFile(wxCommandEvent& event);
    void OnBrowseCaptureFile(wxCommandEvent& event);
    void OnCapture(wxCommandEvent& event);
    void OnSendText(wxCommandEvent& event);
    void OnCustomBaud(wxCommandEvent& event);
    void OnNewline(wxCommandEvent& event);
    void OnPortSelected(wxCommandEvent& event);

    CTaliardDoc* m_pDoc = nullptr;
    bool m_bCustomBaud = false;
    bool m_bNewline = false;
    // Child controls, owned by this window.
    wxChoice* m_comboPort = nullptr;
    wxChoice* m_comboBaud = nullptr;
    wxChoice* m_comboDataBits = nullptr;
    wxChoice* m_comboStopBits = nullptr;
    wxChoice* m_comboParity = nullptr;
    CGradientProgressCtrl* m_progress = nullptr;
    CTemplateScale m_scale;
    FileDialogFunction m_fileDialog;

    wxDECLARE_EVENT_TABLE();
};
