#include "transfer/Xmodem.h"

#include "platform/TickCount.h"
#include "platform/UiHooks.h"
#include "transfer/XmodemImage.h"

#include <chrono>

CXmodem::CXmodem(uint32_t replyTimeoutMs)
    : m_nReplyTimeoutMs(replyTimeoutMs)
{
}

CXmodem::~CXmodem()
{
    EndWorker();
}

void CXmodem::SetOwner(CXmodemOwner* pOwner)
{
    if (pOwner == m_pOwner)
        return;
    EndWorker(); // a worker keeps talking to the owner it started with
    m_pOwner = pOwner;
}

void CXmodem::SetMode(int32_t mode)
{
    if (!IsXmodemMode(mode) || mode == m_nMode)
        return;
    EndWorker(); // the worker reads the mode and the image
    const XmodemModeInfo& info = GetXmodemModeInfo(mode);
    if (info.nBlockSize != m_nBlockSize) {
        // An image padded for the other block size would be read past its end.
        m_data = std::vector<uint8_t>();
        m_nDataLen = 0;
    }
    m_nMode = mode;
    m_nBlockSize = info.nBlockSize;
    m_nCheckLen = info.nCheckLen;
}

bool CXmodem::LoadFile(const std::wstring& path)
{
    XmodemImage image = LoadXmodemImage(path, m_nBlockSize, PAD_BYTE);
    switch (image.result) {
    case ImageLoadResult::Unreadable:
        platform::ShowMessageBox(L"Please select a file to send!");
        return false;
    case ImageLoadResult::TooLarge:
        platform::ShowMessageBox(L"发送的文件必须小于2GB，请重新选择！");
        return false;
    case ImageLoadResult::Loaded:
        break;
    }
    EndWorker();
    m_data = std::move(image.data);
    m_nDataLen = static_cast<int32_t>(m_data.size());
    return true;
}

void CXmodem::Start()
{
    EndWorker();
    m_bStarted = false;
    m_bNak = false;
    m_event.Reset();
    m_bCancel = false;
    m_bListening = true;
    m_thread = std::thread(&CXmodem::WorkerMain, this);
}

void CXmodem::Stop()
{
    m_bCancel = true;
    m_event.Set();
    if (m_bListening) {
        m_pOwner->AbortWrites();
        // The worker lifts the abort as it ends; if it ended just now, that
        // may have come before this abort.
        if (!m_bListening)
            m_pOwner->ResumeWrites();
    }
    const uint32_t since = platform::GetTickCount();
    while (m_bRunning && platform::GetTickCount() - since < STOP_GRACE_MS)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void CXmodem::OnReply(uint8_t b)
{
    // Every received byte comes here. Between transfers nothing may change:
    // Start resets the flags and the event anyway, and a 'C' in ordinary
    // text would otherwise make every later byte wake nobody.
    if (!m_bListening.load(std::memory_order_relaxed))
        return;
    if (!m_bStarted && b == GetXmodemModeInfo(m_nMode).startByte) {
        m_bStarted = true;
        m_bNak = false;
        m_event.Set();
        return;
    }
    switch (b) {
    case XMODEM_ACK:
        m_bNak = false;
        break;
    case XMODEM_NAK:
        m_bNak = true;
        break;
    case XMODEM_CAN:
        m_bCancel = true;
        m_event.Set();
        return;
    default:
        if (!m_bStarted)
            return;
        m_bNak = true; // after the start, anything else is a negative reply
        break;
    }
    // After m_bNak, so that the worker that sees this sees the reply too.
    m_bReplied = true;
    m_event.Set();
}

void CXmodem::EndWorker()
{
    if (!m_thread.joinable())
        return;
    // Stop makes every wait of the worker end, including one for the
    // user-interface thread, so the join is bounded.
    Stop();
    m_thread.join();
}

void CXmodem::WorkerMain()
{
    if (!SendFile(m_data.data(), m_nDataLen, MAX_NAK_COUNT)) {
        m_pOwner->OnSendFailed();
        platform::RunOnUiThread([] { platform::ShowMessageBox(L"板卡烧写异常，请重新烧写！"); }, m_bCancel);
    }
    m_bStarted = false;
    m_bListening = false;
    m_pOwner->ResumeWrites(); // after m_bListening: see Stop
}

bool CXmodem::SendFile(const uint8_t* data, int32_t total, int32_t limit)
{
    m_bRunning = true;
    const TransferOutcome outcome = SendImage(data, total, limit);
    m_bRunning = false;
    m_bNak = false;
    if (outcome == TransferOutcome::Cancelled)
        m_bCancel = false;
    if (outcome == TransferOutcome::Completed) {
        m_bStarted = false;
        m_pOwner->OnSendComplete();
    }
    return outcome != TransferOutcome::Failed; // a cancel is not a failure
}

CXmodem::TransferOutcome CXmodem::SendImage(const uint8_t* data, int32_t total, int32_t limit)
{
    platform::ShowStatusText(WAITING_FOR_RECEIVER_TEXT);
    m_event.Wait();
    platform::ShowStatusText(std::wstring());
    if (m_bCancel)
        return TransferOutcome::Cancelled; // nothing was written yet

    const int32_t mode = m_nMode;
    std::vector<uint8_t> block(static_cast<std::size_t>(XmodemBlockLength(mode)));
    uint8_t number = 0;
    for (int32_t offset = 0; offset < total; offset += m_nBlockSize) {
        ++number; // 255 is followed by 0
        const std::span<const uint8_t> chunk(data + offset, static_cast<std::size_t>(m_nBlockSize));
        BuildXmodemBlock(mode, number, chunk, block);
        const TransferOutcome outcome = SendBlock(block, limit);
        if (outcome != TransferOutcome::Completed) {
            WriteControl(XMODEM_CAN);
            return outcome;
        }
        m_pOwner->OnSendProgress(static_cast<float>(static_cast<double>(offset + m_nBlockSize) / total));
        if (m_bCancel) { // the progress update may have been cut short by it
            WriteControl(XMODEM_CAN);
            return TransferOutcome::Cancelled;
        }
    }
    WriteControl(XMODEM_EOT);
    return TransferOutcome::Completed;
}

CXmodem::TransferOutcome CXmodem::SendBlock(std::span<const uint8_t> block, int32_t limit)
{
    for (int32_t attempts = 1;; ++attempts) {
        // Replies that came before this copy went out are not for it: a late
        // ACK of a resent block's first copy must not accept the next block.
        m_bReplied = false;
        m_event.Reset();
        m_pOwner->WriteBytes(block.data(), static_cast<int32_t>(block.size()));
        if (m_bCancel)
            return TransferOutcome::Cancelled;
        const bool bAcked = AwaitReply();
        if (m_bCancel)
            return TransferOutcome::Cancelled;
        if (bAcked)
            return TransferOutcome::Completed;
        // A negative reply or silence: a dead receiver must not pass for one
        // that accepted everything. Receivers take a repeated block as such.
        if (attempts >= limit || m_pOwner->IsLineDown())
            return TransferOutcome::Failed;
    }
}

bool CXmodem::AwaitReply()
{
    const uint32_t since = platform::GetTickCount();
    while (!m_bReplied && !m_bCancel) {
        const uint32_t waited = platform::GetTickCount() - since;
        if (waited >= m_nReplyTimeoutMs)
            return false;
        m_event.WaitFor(m_nReplyTimeoutMs - waited);
    }
    return m_bReplied && !m_bNak;
}

void CXmodem::WriteControl(uint8_t b)
{
    m_pOwner->WriteBytes(&b, 1);
}
