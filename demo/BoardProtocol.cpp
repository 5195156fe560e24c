#include "demo/BoardProtocol.h"

#include <cctype>
#include <cstdio>

namespace {

constexpr uint8_t CR = '\r';
constexpr uint8_t LF = '\n';

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string Lowered(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

void CBoardProtocol::OnOpen()
{
    OnHangUp();
    Say(BANNER);
    Say(PROMPT);
}

void CBoardProtocol::OnHangUp()
{
    m_receiver = CXmodemReceiver();
    m_line.clear();
    m_bAfterCr = false;
    m_output.clear();
}

void CBoardProtocol::OnReceive(const uint8_t* data, size_t length, Clock::time_point now)
{
    for (size_t i = 0; i < length; ++i) {
        if (m_receiver.IsReceiving()) {
            m_receiver.OnByte(data[i], now, m_output);
            if (!m_receiver.IsReceiving())
                ReportTransferEnd();
        } else {
            OnLineByte(data[i], now);
        }
    }
}

void CBoardProtocol::OnLineByte(uint8_t byte, Clock::time_point now)
{
    const bool bAfterCr = m_bAfterCr;
    m_bAfterCr = byte == CR;
    if (byte == LF && bAfterCr)
        return;
    if (byte == CR || byte == LF) {
        Say("\r\n");
        RunLine(now);
        return;
    }
    m_output.push_back(byte);
    if (byte == 0x08 || byte == 0x7F) {
        if (!m_line.empty())
            m_line.pop_back();
    } else if (m_line.size() < MAX_LINE) {
        m_line.push_back(static_cast<char>(byte));
    }
}

void CBoardProtocol::RunLine(Clock::time_point now)
{
    const std::string line = Trimmed(m_line);
    const std::string command = Lowered(line);
    m_line.clear();
    if (command == "help") {
        Say(HELP_TEXT);
    } else if (command == "xmodem") {
        Say(XMODEM_READY);
        m_receiver.Start(now, m_output);
        return;
    } else if (!command.empty()) {
        Say("Unknown command '" + line + "'. Type help for the commands.\r\n");
    }
    Say(PROMPT);
}

void CBoardProtocol::OnTime(Clock::time_point now)
{
    if (!m_receiver.IsReceiving())
        return;
    m_receiver.OnTime(now, m_output);
    if (!m_receiver.IsReceiving())
        ReportTransferEnd();
}

void CBoardProtocol::ReportTransferEnd()
{
    switch (m_receiver.GetState()) {
    case CXmodemReceiver::EState::Complete: {
        char text[96];
        std::snprintf(text, sizeof text, "\r\nReceived %llu bytes, CRC-32 0x%08X\r\n",
                      static_cast<unsigned long long>(m_receiver.GetByteCount()), m_receiver.GetCrc32());
        Say(text);
        break;
    }
    case CXmodemReceiver::EState::CancelledBySender:
        Say("\r\nTransfer cancelled by the sender\r\n");
        break;
    case CXmodemReceiver::EState::TimedOut:
        Say("\r\nNo data for 10 s, transfer abandoned\r\n");
        break;
    case CXmodemReceiver::EState::OutOfSequence:
        Say("\r\nBlock out of sequence, transfer cancelled\r\n");
        break;
    case CXmodemReceiver::EState::Idle:
    case CXmodemReceiver::EState::Receiving:
        return;
    }
    Say(PROMPT);
}

std::optional<CBoardProtocol::Clock::time_point> CBoardProtocol::NextDeadline() const
{
    if (!m_receiver.IsReceiving())
        return std::nullopt;
    return m_receiver.NextDeadline();
}

std::vector<uint8_t> CBoardProtocol::TakeOutput()
{
    std::vector<uint8_t> output;
    output.swap(m_output);
    return output;
}

void CBoardProtocol::Say(std::string_view text)
{
    m_output.insert(m_output.end(), text.begin(), text.end());
}
