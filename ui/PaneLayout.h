// The receive pane's paragraphs laid out for drawing: one Pango layout per
// paragraph, wrapped at the pane's width, kept until its paragraph changes or
// the width does. A refresh that adds a line lays out that line alone; the
// toolkit's text view laid out every visible line again for each frame.
// UI thread only.
#pragma once

#include "ui/AsciiGlyphs.h"
#include "ui/PaneText.h"
#include "ui/PangoHandles.h"

#include <pango/pango.h>

#include <cstddef>
#include <vector>

// Where the caret of a position is drawn, in the text's own coordinates
// (0 at the top of the first paragraph).
struct CaretBox {
    int x = 0;
    int y = 0;
    int height = 0;
};

class PaneLayout {
public:
    // `context` gives the font map and resolution, `font` the pane's font.
    void SetContext(PangoContext* context, const PangoFontDescription* font);
    // The width lines are wrapped at; a change lays everything out again.
    void SetWidth(int width);
    // Mirrors a change of the text: the replaced paragraphs lose their layout.
    void Splice(const ParagraphSplice& splice);

    // The whole text's height; lays out what is not laid out yet.
    int Height(const PaneText& text);
    // paragraph may be one past the last: then the text's height.
    int ParagraphTop(const PaneText& text, size_t paragraph);
    // The first paragraph that reaches below `y`.
    size_t ParagraphAtY(const PaneText& text, int y);
    // Null for an empty paragraph: it has nothing to draw.
    PangoLayout* Layout(const PaneText& text, size_t paragraph);
    // How far right the paragraph's text reaches.
    int ParagraphRight(const PaneText& text, size_t paragraph);
    // A paragraph of printable ASCII on one line, drawn with Glyphs().
    bool IsPlain(const PaneText& text, size_t paragraph);
    const AsciiGlyphs& Glyphs() const { return m_glyphs; }

    CaretBox Caret(const PaneText& text, size_t position);
    // The position nearest to the point (x, y) in the text's coordinates.
    size_t PositionAt(const PaneText& text, int x, int y);
    // Character offsets within a paragraph and Pango's byte indexes.
    static int ByteIndex(PangoLayout* layout, size_t offset);
    static size_t CharOffset(PangoLayout* layout, int index);

private:
    struct Entry {
        LayoutPtr layout; // made when first needed for a plain paragraph
        int height = -1;  // not laid out yet
        int right = 0;
        bool bPlain = false;
    };
    void Update(const PaneText& text);
    int Measure(const PaneText& text, size_t paragraph);
    PangoLayout* MakeLayout(const PaneText& text, size_t paragraph);

    PangoContext* m_context = nullptr;
    const PangoFontDescription* m_font = nullptr;
    AttrListPtr m_attributes;
    AsciiGlyphs m_glyphs;
    int m_width = 1;
    int m_lineHeight = 0;
    std::vector<Entry> m_entries;
    std::vector<int> m_tops; // valid up to m_topsValid
    size_t m_topsValid = 0;
};
