#include "ui/TaliardViewFollower.h"

#include "ui/ReceiveTextDecoder.h"

PaneEdit CTaliardViewFollower::Follow(const ReceiveSlice& slice)
{
    PaneEdit edit;
    const DecodeResumePoint resume = AppendReceivedText(edit.text, slice.bytes.data(), slice.bytes.size());
    // Only bytes added behind the resume point leave the shown text valid;
    // then the slice starts there.
    if (m_bInStep && slice.first == m_firstByte && slice.start == m_resumeByte) {
        edit.rewrite = false;
        edit.keep = m_resumeChars;
        m_resumeByte += resume.bytes;
        m_resumeChars += resume.characters;
        m_keptText.append(edit.text, 0, resume.characters);
        return edit;
    }
    m_bInStep = true;
    m_firstByte = slice.first;
    m_resumeByte = slice.start + resume.bytes;
    m_resumeChars = resume.characters;
    m_keptText.assign(edit.text, 0, resume.characters);
    return edit;
}
