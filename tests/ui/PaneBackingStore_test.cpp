// The off-screen copy of the pane against a pane drawn from scratch, while
// lines of different widths scroll in at the bottom as a board prints them.
#include "ui/PaneBackingStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr int WIDTH = 200;
constexpr int HEIGHT = 100;
constexpr int LINE = 10;

struct Surface {
    Surface() : surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, WIDTH, HEIGHT)), cr(cairo_create(surface)) {}
    ~Surface()
    {
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    std::vector<unsigned char> Pixels()
    {
        cairo_surface_flush(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        return { data, data + cairo_image_surface_get_stride(surface) * HEIGHT };
    }
    cairo_surface_t* surface;
    cairo_t* cr;
};

// Line k is a dark bar of widths[k] pixels at content y k * LINE.
void DrawLines(const std::vector<int>& widths, cairo_t* cr, int from, int to)
{
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    for (int k = std::max(from / LINE, 0); k < static_cast<int>(widths.size()) && k * LINE < to; ++k)
        cairo_rectangle(cr, 0, k * LINE, widths[k], LINE - 2);
    cairo_fill(cr);
}

TEST(PaneBackingStoreTest, MovedAndPartlyDrawnItShowsWhatADrawingFromScratchShows)
{
    PaneBackingStore store;
    std::vector<int> widths;
    int paintedRight = 0;
    // Short lines, one that spans the pane, short ones that push it out,
    // and an edit in the middle of what is shown.
    for (int k = 0; k < 40; ++k) {
        widths.push_back(k == 15 ? WIDTH : 20 + (k * 37) % 60);
        if (k == 30) {
            widths[25] = 150;
            store.InvalidateRange(25 * LINE, 26 * LINE);
        }
        const int origin = std::max(static_cast<int>(widths.size()) * LINE - HEIGHT, 0);
        int visibleRight = 0;
        for (int j = origin / LINE; j < static_cast<int>(widths.size()); ++j)
            visibleRight = std::max(visibleRight, widths[j]);
        store.InvalidateRange(k * LINE, (k + 1) * LINE);

        Surface shown;
        store.Paint(shown.cr, WIDTH, HEIGHT, origin, std::max(paintedRight, visibleRight),
                    [&](cairo_t* cr, int from, int to) { DrawLines(widths, cr, from, to); });
        paintedRight = visibleRight;

        Surface expected;
        cairo_translate(expected.cr, 0, -origin);
        DrawLines(widths, expected.cr, origin, origin + HEIGHT);
        ASSERT_TRUE(shown.Pixels() == expected.Pixels()) << "after line " << k;
    }
}

} // namespace
