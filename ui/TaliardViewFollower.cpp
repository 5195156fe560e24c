#include "ui/TaliardViewFollower.h"

#include "ui/ReceiveTextDecoder.h"

PaneEdit CTaliardViewFollower::Follow(const uint8_t* buffer, size_t size, uint64_t total)
{
    const uint64_t first = total - size;
    PaneEdit edit;
    // Only bytes added behind the resume point leave the shown text valid.
    if (m_bInStep && first == m_firstByte && m_resumeByte >= first && m_resumeByte <= total) {
        const auto offset = static_cast<size_t>(m_resumeByte - first);
        edit.rewrite = false;
        edit.keep = m_resumeChars;
        const DecodeResumePoint resume = AppendReceivedText(edit.text, buffer + offset, size - offset);
        m_resumeByte += resume.bytes;
        m_resumeChars += resume.characters;
        return edit;
    }
    const DecodeResumePoint resume = AppendReceivedText(edit.text, buffer, size);
    m_bInStep = true;
    m_firstByte = first;
    m_resumeByte = first + resume.bytes;
    m_resumeChars = resume.characters;
    return edit;
}
