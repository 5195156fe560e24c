#include "ui/PaneBackingStore.h"

#include <algorithm>

void PaneBackingStore::InvalidateFrom(int y)
{
    m_dirtyFrom = std::min(m_dirtyFrom, y);
}

void PaneBackingStore::Scroll(int origin, int right)
{
    const int shift = origin - m_origin;
    // Only a move down by less than a window is worth a copy: that is what
    // a refresh at the end does. Anything else is drawn anew.
    if (shift > 0 && shift < m_height && m_dirtyFrom > m_origin + shift) {
        // The other surface may hold old text up to its own extent.
        const int copied = std::max(right, m_backExtent);
        cairo_t* cr = cairo_create(m_back.get());
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(cr, m_front.get(), 0, -shift);
        cairo_rectangle(cr, 0, 0, copied, m_height - shift);
        cairo_fill(cr);
        cairo_destroy(cr);
        std::swap(m_front, m_back);
        m_backExtent = m_frontExtent;
        m_frontExtent = copied;
        InvalidateFrom(m_origin + m_height);
    } else {
        Invalidate();
    }
    m_origin = origin;
}

void PaneBackingStore::Paint(cairo_t* target, int width, int height, int origin, int right, const DrawBand& draw)
{
    if (width <= 0 || height <= 0)
        return;
    if (!m_front || width != m_width || height != m_height) {
        cairo_surface_t* kind = cairo_get_target(target);
        m_front.reset(cairo_surface_create_similar(kind, CAIRO_CONTENT_COLOR, width, height));
        m_back.reset(cairo_surface_create_similar(kind, CAIRO_CONTENT_COLOR, width, height));
        m_width = width;
        m_height = height;
        m_origin = origin;
        m_frontExtent = width;
        m_backExtent = width;
        Invalidate();
    }
    right = std::clamp(right, 0, width);
    if (origin != m_origin)
        Scroll(origin, right);
    const int bottom = origin + height;
    if (m_dirtyFrom < bottom) {
        const int from = std::max(m_dirtyFrom, origin);
        const int drawn = m_dirtyFrom == INT_MIN ? width : std::max(right, m_frontExtent);
        cairo_t* cr = cairo_create(m_front.get());
        cairo_translate(cr, 0, -origin);
        cairo_rectangle(cr, 0, from, drawn, bottom - from);
        cairo_clip(cr);
        draw(cr, from, bottom);
        cairo_destroy(cr);
        m_dirtyFrom = INT_MAX;
        m_frontExtent = right;
    }
    cairo_save(target);
    cairo_set_operator(target, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(target, m_front.get(), 0, 0);
    cairo_rectangle(target, 0, 0, width, height);
    cairo_fill(target);
    cairo_restore(target);
}
