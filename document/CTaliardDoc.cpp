#include "document/CTaliardDoc.h"

#include "device/OpenFailure.h"
#include "platform/RegularFile.h"
#include "platform/UiHooks.h"
#include "platform/Utf8.h"

#include <algorithm>

wxIMPLEMENT_DYNAMIC_CLASS(CTaliardDoc, wxDocument);

// The sender's owner is set here, not in OnNewDocument: a document opened
// from a file (the start-up argument, Open) never runs that hook.
CTaliardDoc::CTaliardDoc()
{
    m_xmodem.SetOwner(this);
}

CTaliardDoc::~CTaliardDoc()
{
    // The sender's worker writes through this document; the sender member
    // goes first and joins it, and this makes it wind down at once.
    m_xmodem.Stop();
    Disconnect();
}

bool CTaliardDoc::OnNewDocument()
{
    if (!wxDocument::OnNewDocument())
        return false;
    m_settings = SerialSettings { L"COM1", L"115200", L"N", L"8", L"1" };
    // The connection stays usable across New: the device stays open with
    // our handler attached, so m_bConnected keeps telling the truth.
    SetCapture(false);
    {
        const auto capture = FlushCaptureBatch();
        m_capturePath.clear();
        m_captureFile.Close();
    }
    {
        CCriticalSectionFuncation guard(m_receiveLock);
        m_receiveBuffer.clear();
    }
    m_sendPath.clear();
    return true;
}

bool CTaliardDoc::OnCloseDocument()
{
    Disconnect();
    SetCapture(false);
    return wxDocument::OnCloseDocument();
}

int CTaliardDoc::Connect()
{
    Disconnect();
    m_device.SetSettings(m_settings, 0);
    if (!m_device.Open(false)) {
        platform::ShowMessageBox(L"串口打开失败，请检查！");
        return 0;
    }
    ResetCaptureBatch();
    // The run handler first: from the moment the byte handler is attached,
    // runs come whole.
    m_device.SetRunHandler(&CTaliardDoc::RunCallback);
    m_device.SetReceiveHandler(&CTaliardDoc::ReceiveCallback, this);
    m_bConnected = true;
    return 1;
}

void CTaliardDoc::Disconnect()
{
    if (m_device.CanReceive()) {
        m_device.ClearReceiveHandler();
        m_device.Close(0);
        m_bConnected = false;
    }
    // No more bytes can arrive: what the batch holds goes to the file now.
    ResetCaptureBatch();
}

void CTaliardDoc::SendText(const std::wstring& text)
{
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size());
    for (wchar_t c : text) {
        if (static_cast<uint32_t>(c) > 0xFF) {
            if (m_bConnected)
                platform::ShowMessageBox(L"Encountered an improper argument.", platform::MessageIcon::Stop);
            return;
        }
        bytes.push_back(static_cast<uint8_t>(c));
    }
    if (m_bConnected && !bytes.empty())
        m_device.Write(bytes.data(), static_cast<int32_t>(bytes.size()));
}

void CTaliardDoc::WriteBytes(const uint8_t* data, int32_t length)
{
    if (m_bConnected)
        m_device.Write(data, length);
}

void CTaliardDoc::StartFileSend(int mode)
{
    m_nLineDownsAtSendStart = m_device.GetLineDownCount();
    m_xmodem.SetMode(mode);
    if (m_xmodem.LoadFile(m_sendPath))
        m_xmodem.Start();
}

void CTaliardDoc::CancelFileSend()
{
    m_xmodem.Stop();
}

void CTaliardDoc::SetCapture(bool on)
{
    // Switched on, the batch stays: bytes from just before go out with it.
    if (on) {
        m_bCapture = true;
        return;
    }
    const auto capture = FlushCaptureBatch();
    m_captureFile.Close();
    m_bCapture = false;
    EndCaptureFailure();
}

void CTaliardDoc::SetCapturePath(const std::wstring& path)
{
    const auto capture = FlushCaptureBatch();
    m_captureFile.Close();
    m_capturePath = path;
}

std::wstring CTaliardDoc::GetCapturePath() const
{
    std::lock_guard lock(m_captureLock);
    return m_capturePath;
}

void CTaliardDoc::ResetCaptureBatch()
{
    FlushCaptureBatch();
}

std::unique_lock<std::mutex> CTaliardDoc::FlushCaptureBatch()
{
    std::unique_lock capture(m_captureLock, std::defer_lock);
    {
        CCriticalSectionFuncation guard(m_receiveLock);
        capture.lock();
        TakeCaptureBatch();
    }
    WriteTakenBatch();
    return capture;
}

void CTaliardDoc::TakeCaptureBatch()
{
    std::copy_n(m_captureBatch.begin(), m_nCaptureLen, m_takenBatch.begin());
    m_nTakenLen = m_nCaptureLen;
    std::fill_n(m_captureBatch.begin(), m_nCaptureLen, uint8_t { 0 });
    m_nCaptureLen = 0;
}

void CTaliardDoc::WriteTakenBatch()
{
    if (m_nTakenLen != 0 && m_bCapture && !m_capturePath.empty()) {
        if (m_captureFile.Append(m_capturePath, m_takenBatch.data(), m_nTakenLen))
            EndCaptureFailure();
        else
            ReportCaptureFailure(static_cast<uint64_t>(m_nTakenLen));
    }
    m_nTakenLen = 0;
}

// The batch is dropped as before, but the user is told, with the count
// of bytes lost since the first failure.
void CTaliardDoc::ReportCaptureFailure(uint64_t dropped)
{
    m_nCaptureDropped += dropped;
    const int error = m_captureFile.LastError();
    // The system's text, as every other status reason gives it.
    const std::wstring reason = error == NOT_A_REGULAR_FILE ? std::wstring(L"不是普通文件") : WideFromUtf8(ErrnoText(error));
    platform::ShowStatusText(m_capturePath + L": " + reason + L"（捕获已丢弃 " + std::to_wstring(m_nCaptureDropped) + L" 字节）");
}

void CTaliardDoc::EndCaptureFailure()
{
    if (m_nCaptureDropped == 0)
        return;
    m_nCaptureDropped = 0;
    platform::ShowStatusText(std::wstring());
}

void CTaliardDoc::CopyReceived(uint64_t first, uint64_t from, ReceiveSlice& slice) const
{
    CCriticalSectionFuncation guard(m_receiveLock);
    slice.first = m_nReceiveTotal - m_receiveBuffer.size();
    const bool bNewOnly = first == slice.first && from >= first && from <= m_nReceiveTotal;
    slice.start = bNewOnly ? from : slice.first;
    slice.bytes.assign(m_receiveBuffer.begin() + static_cast<ptrdiff_t>(slice.start - slice.first),
                       m_receiveBuffer.end());
}

void CTaliardDoc::ReceiveCallback(uint8_t byte, void* context)
{
    static_cast<CTaliardDoc*>(context)->HandleReceivedByte(byte);
}

void CTaliardDoc::RunCallback(const uint8_t* bytes, size_t count, void* context)
{
    static_cast<CTaliardDoc*>(context)->HandleReceivedRun(bytes, count);
}

void CTaliardDoc::HandleReceivedByte(uint8_t byte)
{
    HandleReceivedRun(&byte, 1);
}

// The receive lock is taken once per run (and once more per full capture
// batch, which goes to the file outside it): a fast line costs one lock
// round trip per run read from the port instead of one per byte.
void CTaliardDoc::HandleReceivedRun(const uint8_t* bytes, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        m_xmodem.OnReply(bytes[i]);

    for (size_t done = 0; done < count;) {
        // Taken inside the receive lock and kept while the batch is written,
        // so batches reach the file in order.
        std::unique_lock capture(m_captureLock, std::defer_lock);
        {
            CCriticalSectionFuncation guard(m_receiveLock);
            done += AppendReceived(bytes + done, count - done);
            if (m_nCaptureLen > CAPTURE_FLUSH_LEVEL) {
                capture.lock();
                TakeCaptureBatch();
            }
        }
        if (capture.owns_lock())
            WriteTakenBatch();
    }
    // Outside the receive lock: waking goes through the toolkit's own locks.
    if (m_refresh.OnRun())
        platform::WakeUiForRefresh();
}

size_t CTaliardDoc::AppendReceived(const uint8_t* bytes, size_t count)
{
    size_t taken = 0;
    while (taken < count && m_nCaptureLen <= CAPTURE_FLUSH_LEVEL) {
        const uint8_t byte = bytes[taken++];
        // Zero bytes stay out of the buffer: the view shows it as text.
        if (byte != 0) {
            m_receiveBuffer.push_back(byte);
            ++m_nReceiveTotal;
            if (m_receiveBuffer.size() > RECEIVE_BUFFER_MAX)
                m_receiveBuffer.erase(m_receiveBuffer.begin(), m_receiveBuffer.begin() + RECEIVE_BUFFER_TRIM);
        }
        m_captureBatch[static_cast<size_t>(m_nCaptureLen++)] = byte;
    }
    return taken;
}

void CTaliardDoc::ReportProgress(float fraction)
{
    CProgressSink* sink = m_pProgressSink.load();
    if (sink)
        platform::RunOnUiThread([sink, fraction] { sink->SetProgress(fraction); }, m_xmodem.CancelFlag());
}

void CTaliardDoc::OnSendProgress(float fraction)
{
    m_fProgress = fraction;
    ReportProgress(fraction);
}

void CTaliardDoc::OnSendComplete()
{
    ReportProgress(1.0f);
}

void CTaliardDoc::OnSendFailed()
{
    ReportProgress(0.0f);
}

void CTaliardDoc::AbortWrites()
{
    m_device.AbortWrite();
}

void CTaliardDoc::ResumeWrites()
{
    m_device.ResumeWrites();
}

bool CTaliardDoc::IsLineDown()
{
    // Disconnected mid-transfer drops every write, so that silence proves
    // nothing either; nor does it after a gap in the line.
    return !m_bConnected || m_device.IsHungUp() || m_device.GetLineDownCount() != m_nLineDownsAtSendStart;
}
