// What the receive pane shows, kept drawn in an off-screen surface of the
// display's own kind, used as a ring: content y lands on row y modulo the
// pane's height. When the pane scrolls down nothing is moved; only the band
// that came into view is drawn, and a paint puts the ring's two parts in
// order. A refresh that adds a line at the bottom draws that line alone.
// Coordinates: content y is the text's y; window y = content y - origin.
// UI thread only.
#pragma once

#include <cairo.h>

#include <climits>
#include <functional>
#include <memory>

struct CairoSurfaceDestroy {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, CairoSurfaceDestroy>;

class PaneBackingStore {
public:
    // Draws content y [from, to) with a context whose origin is content
    // y 0; it must cover the whole band, background included.
    using DrawBand = std::function<void(cairo_t* cr, int from, int to)>;

    // Everything is drawn again at the next Paint.
    void Invalidate() { InvalidateRange(INT_MIN, INT_MAX); }
    // Content y [from, to) is drawn again at the next Paint.
    void InvalidateRange(int from, int to);
    // Paints a window of width x height whose top shows content y `origin`
    // onto `target`, drawing first what is out of date. Right of x `right`
    // the window was and stays background; nothing there is drawn unless
    // everything is.
    void Paint(cairo_t* target, int width, int height, int origin, int right, const DrawBand& draw);

private:
    void DrawRows(int from, int to, int width, const DrawBand& draw);
    int Row(int y) const { return ((y % m_height) + m_height) % m_height; }

    SurfacePtr m_ring;
    int m_width = 0;
    int m_height = 0;
    int m_origin = 0;
    int m_dirtyFrom = INT_MIN; // [m_dirtyFrom, m_dirtyTo) is out of date
    int m_dirtyTo = INT_MAX;
    int m_extent = 0; // right of this the ring holds background only
};
