#include "ui/PaneBackingStore.h"

#include <algorithm>

void PaneBackingStore::InvalidateRange(int from, int to)
{
    if (m_dirtyFrom >= m_dirtyTo) {
        m_dirtyFrom = from;
        m_dirtyTo = to;
        return;
    }
    m_dirtyFrom = std::min(m_dirtyFrom, from);
    m_dirtyTo = std::max(m_dirtyTo, to);
}

void PaneBackingStore::DrawRows(int from, int to, int width, const DrawBand& draw)
{
    // The band in at most two pieces, split where the ring wraps.
    while (from < to) {
        const int pieceTop = from - Row(from);
        const int pieceEnd = std::min(to, pieceTop + m_height);
        cairo_t* cr = cairo_create(m_ring.get());
        cairo_translate(cr, 0, -pieceTop);
        cairo_rectangle(cr, 0, from, width, pieceEnd - from);
        cairo_clip(cr);
        draw(cr, from, pieceEnd);
        cairo_destroy(cr);
        from = pieceEnd;
    }
}

void PaneBackingStore::Paint(cairo_t* target, int width, int height, int origin, int right, const DrawBand& draw)
{
    if (width <= 0 || height <= 0)
        return;
    if (!m_ring || width != m_width || height != m_height) {
        m_ring.reset(cairo_surface_create_similar(cairo_get_target(target), CAIRO_CONTENT_COLOR, width, height));
        m_width = width;
        m_height = height;
        Invalidate();
    }
    right = std::clamp(right, 0, width);
    const int shift = origin - m_origin;
    // Only a move down by less than a window keeps rows: that is what a
    // refresh at the end does. Anything else is drawn anew.
    if (shift > 0 && shift < height)
        InvalidateRange(m_origin + height, origin + height);
    else if (shift != 0)
        Invalidate();
    m_origin = origin;

    const int from = std::max(m_dirtyFrom, origin);
    const int to = std::min(m_dirtyTo, origin + height);
    if (from < to) {
        const int drawn = m_dirtyFrom == INT_MIN ? width : std::max(right, m_extent);
        DrawRows(from, to, drawn, draw);
        // Every row of the ring is a row of the window, and what the window
        // shows ends left of `right`.
        m_extent = right;
    }
    m_dirtyFrom = INT_MAX;
    m_dirtyTo = INT_MIN;
    const int split = Row(origin);
    cairo_save(target);
    cairo_set_operator(target, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(target, m_ring.get(), 0, -split);
    cairo_rectangle(target, 0, 0, width, height - split);
    cairo_fill(target);
    if (split > 0) {
        cairo_set_source_surface(target, m_ring.get(), 0, height - split);
        cairo_rectangle(target, 0, height - split, width, split);
        cairo_fill(target);
    }
    cairo_restore(target);
}
