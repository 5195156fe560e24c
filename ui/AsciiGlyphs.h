// The printable ASCII characters of the pane's font as glyphs with fixed
// advances, so that a line of them that fits the pane's width is measured
// and drawn without shaping it: most of what a board prints. Pango's layouts
// of the pane are made without kerning, so they place these characters at
// the same pixels (see LayoutAttributes).
// UI thread only.
#pragma once

#include "ui/PangoHandles.h"

#include <cairo.h>

#include <array>
#include <string_view>
#include <vector>

class AsciiGlyphs {
public:
    // False when the font lacks one of the characters: then nothing takes
    // the fast path.
    bool Load(PangoContext* context, const PangoFontDescription* font, PangoAttrList* attributes);

    // True with the line's width in pixels when every character is printable
    // ASCII and the line is no wider than `width`.
    bool Fits(std::wstring_view line, int width, int& lineWidth) const;
    // Draws a line Fits took with its top left corner at (x, y).
    void Draw(cairo_t* cr, std::wstring_view line, double x, double y) const;

private:
    static constexpr wchar_t FIRST = 0x20;
    static constexpr wchar_t LAST = 0x7E;
    static bool IsAscii(wchar_t c) { return c >= FIRST && c <= LAST; }

    FontPtr m_font;
    cairo_scaled_font_t* m_scaledFont = nullptr; // the font's own
    std::array<unsigned long, LAST - FIRST + 1> m_glyphs {};
    std::array<int, LAST - FIRST + 1> m_advances {}; // pixels
    mutable std::vector<cairo_glyph_t> m_run; // kept, so drawing seldom allocates
    int m_baseline = 0;
    bool m_bLoaded = false;
};
