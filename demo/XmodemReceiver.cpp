#include "demo/XmodemReceiver.h"

#include "demo/Crc32.h"
#include "transfer/Crc16.h"

#include <algorithm>

namespace {

constexpr size_t HEADER_LENGTH = 3;

} // namespace

void CXmodemReceiver::Start(Clock::time_point now, std::vector<uint8_t>& out)
{
    *this = CXmodemReceiver();
    m_state = EState::Receiving;
    m_lastByte = now;
    Ask(now, out);
}

void CXmodemReceiver::Ask(Clock::time_point now, std::vector<uint8_t>& out)
{
    if (m_nAsks >= CRC_ASKS)
        m_bCrc = false;
    out.push_back(m_bCrc ? ASK_CRC : NAK);
    ++m_nAsks;
    m_nextAsk = now + ASK_INTERVAL;
}

void CXmodemReceiver::OnByte(uint8_t byte, Clock::time_point now, std::vector<uint8_t>& out)
{
    if (m_state != EState::Receiving)
        return;
    m_lastByte = now;
    if (m_nBlockLength > 0) {
        m_block.push_back(byte);
        if (m_block.size() == m_nBlockLength)
            OnBlockComplete(out);
        return;
    }
    switch (byte) {
    case SOH:
    case STX:
        m_bStarted = true;
        m_block.assign(1, byte);
        m_nBlockLength = HEADER_LENGTH + (byte == SOH ? 128 : 1024) + CheckLength();
        break;
    case EOT:
        out.push_back(ACK);
        m_state = EState::Complete;
        break;
    case CAN:
        m_state = EState::CancelledBySender;
        break;
    default:
        break; // line noise between blocks
    }
}

void CXmodemReceiver::OnBlockComplete(std::vector<uint8_t>& out)
{
    m_nBlockLength = 0;
    const uint8_t number = m_block[1];
    if (static_cast<uint8_t>(number + m_block[2]) != 0xFF || !CheckMatches()) {
        out.push_back(NAK);
        return;
    }
    const size_t dataLength = m_block.size() - HEADER_LENGTH - CheckLength();
    if (number == m_nExpected) {
        m_nCrc32 = Crc32Update(m_nCrc32, m_block.data() + HEADER_LENGTH, dataLength);
        m_nBytes += dataLength;
        ++m_nExpected;
        out.push_back(ACK);
    } else if (m_nBytes > 0 && number == static_cast<uint8_t>(m_nExpected - 1)) {
        // Our ACK was lost and the sender repeated the block: keep it once.
        out.push_back(ACK);
    } else {
        // Both sides have lost count; going on would corrupt the file.
        out.push_back(CAN);
        out.push_back(CAN);
        m_state = EState::OutOfSequence;
    }
}

bool CXmodemReceiver::CheckMatches() const
{
    const uint8_t* data = m_block.data() + HEADER_LENGTH;
    const size_t dataLength = m_block.size() - HEADER_LENGTH - CheckLength();
    const uint8_t* check = data + dataLength;
    if (m_bCrc) {
        const uint16_t crc = Crc16(data, dataLength);
        return check[0] == (crc >> 8) && check[1] == (crc & 0xFF);
    }
    uint8_t sum = 0;
    for (size_t i = 0; i < dataLength; ++i)
        sum = static_cast<uint8_t>(sum + data[i]);
    return check[0] == sum;
}

void CXmodemReceiver::OnTime(Clock::time_point now, std::vector<uint8_t>& out)
{
    if (m_state != EState::Receiving)
        return;
    if (now - m_lastByte >= SILENCE_LIMIT) {
        // Tell a sender that may still be waiting that we have given up.
        out.push_back(CAN);
        out.push_back(CAN);
        m_state = EState::TimedOut;
        return;
    }
    if (m_nBlockLength > 0 && now - m_lastByte >= BLOCK_STALL_LIMIT) {
        m_nBlockLength = 0;
        out.push_back(NAK);
    }
    if (!m_bStarted && now >= m_nextAsk)
        Ask(now, out);
}

CXmodemReceiver::Clock::time_point CXmodemReceiver::NextDeadline() const
{
    Clock::time_point deadline = m_lastByte + SILENCE_LIMIT;
    if (m_nBlockLength > 0)
        deadline = std::min(deadline, m_lastByte + BLOCK_STALL_LIMIT);
    if (!m_bStarted)
        deadline = std::min(deadline, m_nextAsk);
    return deadline;
}
