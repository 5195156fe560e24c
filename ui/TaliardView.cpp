#include "ui/TaliardView.h"

#include "document/CTaliardDoc.h"
#include "ui/AppStrings.h"
#include "ui/Resource.h"
#include "ui/TaliardDocTemplate.h"
#include "ui/UiHooksInstall.h"

wxIMPLEMENT_DYNAMIC_CLASS(CTaliardView, wxView);

wxString MakeFrameCaption(const wxString& documentName)
{
    return documentName + " - " + WINDOW_TITLE_FIELD;
}

std::optional<uint8_t> ByteForTypedKey(int keyCode, int unicodeKey)
{
    if (unicodeKey == WXK_NONE || keyCode == WXK_DELETE)
        return std::nullopt;
    return static_cast<uint8_t>(unicodeKey & 0xFF);
}

CTaliardView::CTaliardView()
    : m_refreshTimer(this, ID_TIMER_REFRESH)
{
    Bind(wxEVT_TIMER, &CTaliardView::OnRefreshTimer, this, ID_TIMER_REFRESH);
}

CTaliardView::~CTaliardView()
{
    m_refreshTimer.Stop();
    if (m_pane)
        m_pane->Destroy();
}

bool CTaliardView::OnCreate(wxDocument* doc, long flags)
{
    if (!wxView::OnCreate(doc, flags))
        return false;
    auto* docTemplate = dynamic_cast<CTaliardDocTemplate*>(doc->GetDocumentTemplate());
    CMainFrame* frame = docTemplate ? docTemplate->GetFrame() : nullptr;
    if (!frame)
        return false;
    m_frame = frame;
    SetFrame(frame);

    auto* pane = new ReceivePane(frame, IDC_EDIT_RECEIVE);
    m_pane = pane;
    pane->Bind(wxEVT_CHAR, &CTaliardView::OnPaneChar, this);
    pane->Bind(wxEVT_SET_FOCUS, &CTaliardView::OnPaneSetFocus, this);
    pane->Bind(wxEVT_KILL_FOCUS, &CTaliardView::OnPaneKillFocus, this);
    pane->Bind(wxEVT_TEXT, &CTaliardView::OnPaneText, this);
    frame->SetViewWindow(pane);
    frame->SetDocument(dynamic_cast<CTaliardDoc*>(doc));

    // No window here handles idle or update-UI events; sending them to each
    // of the bar's controls after every refresh costs more than the refresh.
    wxIdleEvent::SetMode(wxIDLE_PROCESS_SPECIFIED);
    wxUpdateUIEvent::SetMode(wxUPDATE_UI_PROCESS_SPECIFIED);

    SetRefreshTarget(this);
    Activate(true);
    return true;
}

bool CTaliardView::OnClose(bool deleteWindow)
{
    if (!wxView::OnClose(deleteWindow))
        return false;
    Activate(false);
    m_refreshTimer.Stop();
    m_pDoc = nullptr;
    if (m_frame)
        m_frame->SetDocument(nullptr);
    if (deleteWindow && m_pane)
        m_pane->Destroy();
    return true;
}

void CTaliardView::OnDraw(wxDC*)
{
    // The pane draws itself.
}

void CTaliardView::OnChangeFilename()
{
    if (m_frame && GetDocument())
        m_frame->SetTitle(MakeFrameCaption(GetDocument()->GetUserReadableName()));
}

void CTaliardView::OnInitialUpdate()
{
    if (m_frame && m_pane)
        m_frame->FitToForms(m_pane->ConvertDialogToPixels(wxSize(FORM_WIDTH_DLU, FORM_HEIGHT_DLU)));
    m_pDoc = ViewedDocument();
    if (m_pane)
        m_pane->ChangeValue(wxString());
    m_follower.Forget();
    // The typing flag is left as the pane's focus events set it: clearing it
    // here would stop forwarding while the pane keeps the focus across a new
    // document.
}

CTaliardDoc* CTaliardView::ViewedDocument() const
{
    return dynamic_cast<CTaliardDoc*>(GetDocument());
}

void CTaliardView::OnRefreshWake()
{
    CTaliardDoc* doc = ViewedDocument();
    if (!doc)
        return;
    if (const int wait = doc->RefreshSchedule().Due(); wait > 0)
        m_refreshTimer.StartOnce(wait);
    else
        UpdateReceiveText();
}

void CTaliardView::OnRefreshTimer(wxTimerEvent&)
{
    CTaliardDoc* doc = ViewedDocument();
    if (!doc)
        return;
    if (const int wait = doc->RefreshSchedule().Due(); wait > 0) {
        m_refreshTimer.StartOnce(wait);
        return;
    }
    UpdateReceiveText();
}

void CTaliardView::UpdateReceiveText()
{
    CTaliardDoc* doc = ViewedDocument();
    if (!doc || !m_pane)
        return;
    // Typing into the pane usually adds at its end, which the edit below
    // takes away again; only a change to the kept text needs a rewrite.
    if (m_bUserEdited) {
        m_bUserEdited = false;
        const std::wstring& kept = m_follower.KeptText();
        if (m_pane->GetRange(0, static_cast<long>(kept.size())).ToStdWstring() != kept)
            m_follower.Forget();
    }
    doc->CopyReceived(m_follower.WantFirst(), m_follower.WantFrom(), m_slice);
    const PaneEdit edit = m_follower.Follow(m_slice);
    if (edit.rewrite) {
        m_pane->ChangeValue(wxString(edit.text));
    } else {
        // Rewriting all of it would lay out the whole text again.
        if (edit.drop != 0)
            m_pane->Remove(0, static_cast<long>(edit.drop));
        const long last = m_pane->GetLastPosition();
        if (last > static_cast<long>(edit.keep))
            m_pane->Remove(static_cast<long>(edit.keep), last);
        if (!edit.text.empty())
            m_pane->AppendText(wxString(edit.text));
    }
    m_pane->SetInsertionPointEnd();
    m_pane->ShowPosition(m_pane->GetLastPosition());
}

void CTaliardView::OnPaneChar(wxKeyEvent& event)
{
    if (m_bTyping && m_pDoc) {
        if (const std::optional<uint8_t> byte = ByteForTypedKey(event.GetKeyCode(), event.GetUnicodeKey()))
            m_pDoc->WriteBytes(&*byte, 1);
    }
    // The pane applies the key as usual.
    event.Skip();
}

void CTaliardView::OnPaneText(wxCommandEvent& event)
{
    // The user changed the text: the next refresh puts back the received
    // text, so what was typed vanishes as it always did.
    m_bUserEdited = true;
    event.Skip();
}

void CTaliardView::OnPaneSetFocus(wxFocusEvent& event)
{
    m_bTyping = true;
    event.Skip();
}

void CTaliardView::OnPaneKillFocus(wxFocusEvent& event)
{
    m_bTyping = false;
    event.Skip();
}
