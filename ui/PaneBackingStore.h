// What the receive pane shows, kept drawn in an off-screen surface of the
// display's own kind. When the pane scrolls, the store moves its pixels and
// has only the band that came into view drawn; a refresh that adds a line
// at the bottom draws that line alone, not the whole pane again.
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
    void Invalidate() { m_dirtyFrom = INT_MIN; }
    // Content from y down is drawn again at the next Paint.
    void InvalidateFrom(int y);
    // Paints a window of width x height whose top shows content y `origin`
    // onto `target`, drawing first what is out of date. Right of x `right`
    // the window was and stays background; nothing there is moved or drawn
    // unless everything is.
    void Paint(cairo_t* target, int width, int height, int origin, int right, const DrawBand& draw);

private:
    void Scroll(int origin, int right);

    SurfacePtr m_front;
    SurfacePtr m_back; // the scroll copies into it, then the two swap
    int m_width = 0;
    int m_height = 0;
    int m_origin = 0;
    int m_dirtyFrom = INT_MIN;
    // Right of these each surface holds background only.
    int m_frontExtent = 0;
    int m_backExtent = 0;
};
