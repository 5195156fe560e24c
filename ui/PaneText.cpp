#include "ui/PaneText.h"

#include <algorithm>
#include <iterator>

namespace {

// The paragraphs of text[begin, end) where `end` is a paragraph's end or the
// text's end.
void SplitParagraphs(const std::wstring& text, size_t begin, size_t end, std::vector<PaneParagraph>& out)
{
    size_t start = begin;
    for (size_t i = begin; i < end; ++i) {
        if (text[i] != L'\n' && text[i] != L'\r')
            continue;
        const size_t breakLength = (text[i] == L'\r' && i + 1 < end && text[i + 1] == L'\n') ? 2 : 1;
        out.push_back({ start, i - start, breakLength });
        i += breakLength - 1;
        start = i + 1;
    }
    if (start < end || end == text.size())
        out.push_back({ start, end - start, 0 });
}

} // namespace

PaneText::PaneText()
{
    m_paragraphs.push_back({});
}

size_t PaneText::ParagraphAt(size_t position) const
{
    const auto after = std::upper_bound(m_paragraphs.begin(), m_paragraphs.end(), position,
                                        [](size_t pos, const PaneParagraph& p) { return pos < p.start; });
    return static_cast<size_t>(std::distance(m_paragraphs.begin(), after)) - 1;
}

bool PaneText::IsInsideBreak(size_t position) const
{
    return position > 0 && position < m_text.size() && m_text[position - 1] == L'\r' && m_text[position] == L'\n';
}

ParagraphSplice PaneText::Replace(size_t from, size_t to, std::wstring_view text)
{
    to = std::min(to, m_text.size());
    from = std::min(from, to);
    // One paragraph earlier as well: a "\r" before the change may now meet
    // a "\n" at its start.
    size_t first = ParagraphAt(from);
    if (first > 0)
        --first;
    const size_t last = ParagraphAt(to);
    const size_t begin = m_paragraphs[first].start;
    const size_t oldEnd = m_paragraphs[last].End();

    m_text.replace(from, to - from, text);
    const size_t newEnd = oldEnd - (to - from) + text.size();

    std::vector<PaneParagraph> fresh;
    SplitParagraphs(m_text, begin, newEnd, fresh);
    const auto shift = static_cast<ptrdiff_t>(newEnd) - static_cast<ptrdiff_t>(oldEnd);
    for (size_t i = last + 1; i < m_paragraphs.size(); ++i)
        m_paragraphs[i].start = static_cast<size_t>(static_cast<ptrdiff_t>(m_paragraphs[i].start) + shift);

    ParagraphSplice splice { first, last - first + 1, fresh.size() };
    // The paragraph taken in front as a precaution is usually unchanged.
    const PaneParagraph& before = m_paragraphs[first];
    if (splice.removed > 1 && fresh.size() > 1 && before.End() <= from && fresh.front().start == before.start &&
        fresh.front().length == before.length && fresh.front().breakLength == before.breakLength) {
        fresh.erase(fresh.begin());
        ++splice.first;
        --splice.removed;
        --splice.inserted;
    }
    const auto at = m_paragraphs.begin() + static_cast<ptrdiff_t>(splice.first);
    m_paragraphs.erase(at, at + static_cast<ptrdiff_t>(splice.removed));
    m_paragraphs.insert(m_paragraphs.begin() + static_cast<ptrdiff_t>(splice.first), fresh.begin(), fresh.end());
    return splice;
}
