#include "ui/PaneLayout.h"

#include "platform/Utf8.h"

#include <algorithm>
#include <iterator>

void PaneLayout::SetContext(PangoContext* context, const PangoFontDescription* font)
{
    m_context = context;
    m_font = font;
    // No kerning or ligatures, so that a plain line sits at the same pixels
    // whether Pango or the glyph table places it.
    m_attributes.reset(pango_attr_list_new());
    pango_attr_list_insert(m_attributes.get(), pango_attr_font_features_new("kern 0, liga 0, clig 0"));
    m_glyphs.Load(m_context, m_font, m_attributes.get());
    LayoutPtr probe(pango_layout_new(m_context));
    pango_layout_set_font_description(probe.get(), m_font);
    PangoRectangle logical;
    pango_layout_get_pixel_extents(probe.get(), nullptr, &logical);
    m_lineHeight = logical.height;
    m_entries.clear();
    m_topsValid = 0;
}

void PaneLayout::SetWidth(int width)
{
    width = std::max(width, 1);
    if (width == m_width)
        return;
    m_width = width;
    for (Entry& entry : m_entries)
        entry.height = -1;
    m_topsValid = 0;
}

void PaneLayout::Splice(const ParagraphSplice& splice)
{
    if (m_entries.empty())
        return; // nothing laid out yet; Update makes them
    const auto at = m_entries.begin() + static_cast<ptrdiff_t>(splice.first);
    m_entries.erase(at, at + static_cast<ptrdiff_t>(splice.removed));
    std::vector<Entry> fresh(splice.inserted);
    m_entries.insert(m_entries.begin() + static_cast<ptrdiff_t>(splice.first), std::make_move_iterator(fresh.begin()),
                     std::make_move_iterator(fresh.end()));
    m_topsValid = std::min(m_topsValid, splice.first);
}

void PaneLayout::Update(const PaneText& text)
{
    const size_t count = text.Paragraphs().size();
    if (m_entries.size() != count) {
        m_entries.clear();
        m_entries.resize(count);
        m_topsValid = 0;
    }
    m_tops.resize(count + 1);
    if (m_topsValid == 0)
        m_tops[0] = 0;
    for (size_t i = m_topsValid; i < count; ++i)
        m_tops[i + 1] = m_tops[i] + Measure(text, i);
    m_topsValid = count;
}

int PaneLayout::Measure(const PaneText& text, size_t paragraph)
{
    Entry& entry = m_entries[paragraph];
    if (entry.height >= 0)
        return entry.height;
    const PaneParagraph& p = text.Paragraphs()[paragraph];
    int width = 0;
    entry.bPlain = p.length != 0 && m_glyphs.Fits(std::wstring_view(text.Text()).substr(p.start, p.length), m_width, width);
    entry.right = width;
    if (p.length == 0 || entry.bPlain) {
        entry.height = m_lineHeight;
        return entry.height;
    }
    PangoRectangle logical;
    pango_layout_get_pixel_extents(MakeLayout(text, paragraph), nullptr, &logical);
    entry.height = std::max(logical.height, m_lineHeight);
    entry.right = std::max(logical.x + logical.width, m_width);
    return entry.height;
}

PangoLayout* PaneLayout::MakeLayout(const PaneText& text, size_t paragraph)
{
    Entry& entry = m_entries[paragraph];
    if (!entry.layout) {
        const PaneParagraph& p = text.Paragraphs()[paragraph];
        entry.layout.reset(pango_layout_new(m_context));
        pango_layout_set_font_description(entry.layout.get(), m_font);
        pango_layout_set_attributes(entry.layout.get(), m_attributes.get());
        pango_layout_set_wrap(entry.layout.get(), PANGO_WRAP_WORD_CHAR);
        const std::string utf8 = Utf8FromWide(std::wstring_view(text.Text()).substr(p.start, p.length));
        pango_layout_set_text(entry.layout.get(), utf8.data(), static_cast<int>(utf8.size()));
    }
    pango_layout_set_width(entry.layout.get(), m_width * PANGO_SCALE);
    return entry.layout.get();
}

int PaneLayout::Height(const PaneText& text)
{
    Update(text);
    return m_tops.back();
}

int PaneLayout::ParagraphTop(const PaneText& text, size_t paragraph)
{
    Update(text);
    return m_tops[paragraph];
}

size_t PaneLayout::ParagraphAtY(const PaneText& text, int y)
{
    Update(text);
    const auto below = std::upper_bound(m_tops.begin() + 1, m_tops.end(), y);
    const auto index = static_cast<size_t>(std::distance(m_tops.begin() + 1, below));
    return std::min(index, m_entries.size() - 1);
}

PangoLayout* PaneLayout::Layout(const PaneText& text, size_t paragraph)
{
    Update(text);
    if (text.Paragraphs()[paragraph].length == 0)
        return nullptr;
    return MakeLayout(text, paragraph);
}

int PaneLayout::ParagraphRight(const PaneText& text, size_t paragraph)
{
    Update(text);
    return m_entries[paragraph].right;
}

bool PaneLayout::IsPlain(const PaneText& text, size_t paragraph)
{
    Update(text);
    return m_entries[paragraph].bPlain;
}

int PaneLayout::ByteIndex(PangoLayout* layout, size_t offset)
{
    const char* utf8 = pango_layout_get_text(layout);
    return static_cast<int>(g_utf8_offset_to_pointer(utf8, static_cast<glong>(offset)) - utf8);
}

size_t PaneLayout::CharOffset(PangoLayout* layout, int index)
{
    const char* utf8 = pango_layout_get_text(layout);
    return static_cast<size_t>(g_utf8_pointer_to_offset(utf8, utf8 + index));
}

CaretBox PaneLayout::Caret(const PaneText& text, size_t position)
{
    const size_t paragraph = text.ParagraphAt(position);
    const int top = ParagraphTop(text, paragraph);
    PangoLayout* layout = Layout(text, paragraph);
    if (!layout)
        return { 0, top, m_lineHeight };
    const PaneParagraph& p = text.Paragraphs()[paragraph];
    const size_t offset = std::min(position - p.start, p.length);
    PangoRectangle strong;
    pango_layout_get_cursor_pos(layout, ByteIndex(layout, offset), &strong, nullptr);
    return { PANGO_PIXELS(strong.x), top + PANGO_PIXELS(strong.y), PANGO_PIXELS(strong.height) };
}

size_t PaneLayout::PositionAt(const PaneText& text, int x, int y)
{
    if (y < 0)
        return 0;
    const size_t paragraph = ParagraphAtY(text, y);
    const PaneParagraph& p = text.Paragraphs()[paragraph];
    PangoLayout* layout = Layout(text, paragraph);
    if (!layout)
        return p.start;
    if (y >= Height(text))
        return p.start + p.length;
    int index = 0;
    int trailing = 0;
    pango_layout_xy_to_index(layout, x * PANGO_SCALE, (y - m_tops[paragraph]) * PANGO_SCALE, &index, &trailing);
    const size_t offset = CharOffset(layout, index) + static_cast<size_t>(trailing);
    return p.start + std::min(offset, p.length);
}
