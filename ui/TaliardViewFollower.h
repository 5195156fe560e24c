// Keeps the pane in step with the receive buffer at the least cost: after a
// refresh that only added bytes, the pane keeps what it shows and gets the
// new text appended (an unfinished character at its end is redone); after a
// trim the dropped text is removed from its start as well, when what stays
// decodes as before; after a user's edit or at the start it is rewritten
// whole. Either way the pane ends up with exactly the text of the whole
// buffer. It asks the document for a copy of only what it has not decoded
// yet.
// UI thread only; it never touches the document's lock.
#pragma once

#include "document/ReceiveSlice.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

// What to do to the pane: rewrite it with `text`, or remove its first
// `drop` characters, then keep the next `keep`, cut the rest and append
// `text`.
struct PaneEdit {
    bool rewrite = true;
    size_t drop = 0;
    size_t keep = 0;
    std::wstring text;
};

class CTaliardViewFollower {
public:
    // What to copy (CTaliardDoc::CopyReceived): the bytes from WantFrom()
    // on if the buffer still starts at WantFirst(), else all of it. While
    // the pane must be rewritten, WantFrom() is past any byte.
    uint64_t WantFirst() const { return m_firstByte; }
    uint64_t WantFrom() const { return m_bInStep ? m_resumeByte : std::numeric_limits<uint64_t>::max(); }
    // `slice` is what the document copied for WantFirst() and WantFrom();
    // the pane holds what the edits returned so far made of it.
    PaneEdit Follow(const ReceiveSlice& slice);
    // The pane no longer holds what the edits made of it (the user edited
    // it, or it was emptied); the next Follow rewrites it.
    void Forget() { m_bInStep = false; }
    // The start of the pane that the next edit keeps. After the user typed
    // into the pane, it is enough that the pane still starts with it.
    const std::wstring& KeptText() const { return m_keptText; }

private:
    // After a trim: the edit that removes the dropped text, if what the pane
    // keeps is the start of `text`, the whole new buffer's text.
    bool FollowTrim(const ReceiveSlice& slice, PaneEdit& edit) const;

    bool m_bInStep = false;
    uint64_t m_firstByte = 0;  // number of the buffer's first byte at the last Follow
    uint64_t m_resumeByte = 0; // number of the byte where decoding goes on
    size_t m_resumeChars = 0;  // characters of the pane before that byte
    std::wstring m_keptText;   // those characters
};
