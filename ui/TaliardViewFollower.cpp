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
    edit.rewrite = !(m_bInStep && FollowTrim(slice, edit));
    m_bInStep = true;
    m_firstByte = slice.first;
    m_resumeByte = slice.start + resume.bytes;
    m_resumeChars = resume.characters;
    m_keptText.assign(edit.text, 0, resume.characters);
    if (!edit.rewrite)
        edit.text.erase(0, edit.keep);
    return edit;
}

bool CTaliardViewFollower::FollowTrim(const ReceiveSlice& slice, PaneEdit& edit) const
{
    if (slice.start != slice.first || slice.first <= m_firstByte || slice.first > m_resumeByte)
        return false;
    // The bytes both the old and the new buffer hold, up to the resume
    // point: their text must not change, the trim may have cut a character.
    const auto shared = static_cast<size_t>(m_resumeByte - slice.first);
    std::wstring head;
    if (AppendReceivedText(head, slice.bytes.data(), shared).bytes != shared || head.size() > m_keptText.size()
        || m_keptText.compare(m_keptText.size() - head.size(), head.size(), head) != 0)
        return false;
    edit.drop = m_keptText.size() - head.size();
    edit.keep = head.size();
    return true;
}
