#include "ui/AsciiGlyphs.h"

#include <hb.h>
#include <pango/pangocairo.h>

#include <string>
#include <vector>

bool AsciiGlyphs::Load(PangoContext* context, const PangoFontDescription* font, PangoAttrList* attributes)
{
    m_bLoaded = false;
    m_font.reset(pango_context_load_font(context, font));
    if (!m_font || !PANGO_IS_CAIRO_FONT(m_font.get()))
        return false;
    m_scaledFont = pango_cairo_font_get_scaled_font(PANGO_CAIRO_FONT(m_font.get()));
    hb_font_t* shaper = pango_font_get_hb_font(m_font.get());
    if (!m_scaledFont || !shaper)
        return false;

    // All of them in one line: each one's advance is where Pango puts it.
    std::string all;
    for (wchar_t c = FIRST; c <= LAST; ++c)
        all.push_back(static_cast<char>(c));
    const LayoutPtr probe(pango_layout_new(context));
    pango_layout_set_font_description(probe.get(), font);
    pango_layout_set_attributes(probe.get(), attributes);
    pango_layout_set_text(probe.get(), all.data(), static_cast<int>(all.size()));
    for (wchar_t c = FIRST; c <= LAST; ++c) {
        hb_codepoint_t glyph = 0;
        if (!hb_font_get_nominal_glyph(shaper, static_cast<hb_codepoint_t>(c), &glyph))
            return false;
        m_glyphs[c - FIRST] = glyph;
        PangoRectangle place;
        pango_layout_index_to_pos(probe.get(), c - FIRST, &place);
        m_advances[c - FIRST] = PANGO_PIXELS(place.width);
    }
    m_baseline = PANGO_PIXELS(pango_layout_get_baseline(probe.get()));
    m_bLoaded = true;
    return true;
}

bool AsciiGlyphs::Fits(std::wstring_view line, int width, int& lineWidth) const
{
    if (!m_bLoaded)
        return false;
    int sum = 0;
    for (const wchar_t c : line) {
        if (!IsAscii(c))
            return false;
        sum += m_advances[c - FIRST];
    }
    lineWidth = sum;
    return sum <= width;
}

void AsciiGlyphs::Draw(cairo_t* cr, std::wstring_view line, double x, double y) const
{
    std::vector<cairo_glyph_t>& glyphs = m_run;
    glyphs.clear();
    double penX = x;
    for (const wchar_t c : line) {
        if (c != L' ')
            glyphs.push_back({ m_glyphs[c - FIRST], penX, y + m_baseline });
        penX += m_advances[c - FIRST];
    }
    cairo_set_scaled_font(cr, m_scaledFont);
    cairo_show_glyphs(cr, glyphs.data(), static_cast<int>(glyphs.size()));
}
