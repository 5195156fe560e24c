// The text of the receive pane, split into paragraphs at line breaks ("\r\n",
// "\n" or "\r", as the toolkit's text views split them), so that a change
// touches only the paragraphs around it and the pane keeps the layout of all
// the others. Pure, no window system; the UI thread owns it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct PaneParagraph {
    size_t start = 0;       // offset of its first character in the text
    size_t length = 0;      // characters before the line break
    size_t breakLength = 0; // 0 for the last paragraph, else 1 or 2
    size_t End() const { return start + length + breakLength; }
};

// Which paragraphs a change replaced: `removed` of them from `first` on
// made way for `inserted` new ones; those behind moved by the change's size.
struct ParagraphSplice {
    size_t first = 0;
    size_t removed = 0;
    size_t inserted = 0;
};

class PaneText {
public:
    PaneText();

    const std::wstring& Text() const { return m_text; }
    size_t Size() const { return m_text.size(); }
    // Never empty: a text that ends in a line break ends in an empty paragraph.
    const std::vector<PaneParagraph>& Paragraphs() const { return m_paragraphs; }
    // The paragraph that holds `position` (the last one for the text's end).
    size_t ParagraphAt(size_t position) const;

    // Replaces the characters [from, to) with `text`; positions past the
    // end are taken as the end.
    ParagraphSplice Replace(size_t from, size_t to, std::wstring_view text);

    // A caret never stops between the two characters of "\r\n".
    bool IsInsideBreak(size_t position) const;

private:
    std::wstring m_text;
    std::vector<PaneParagraph> m_paragraphs;
};
