#include "ui/DirectPaint.h"

namespace {

constexpr char INVALIDATED_KEY[] = "taliard-invalidated";

void RecordInvalidated(GdkWindow* window, cairo_region_t* region)
{
    if (auto* invalidated = static_cast<cairo_region_t*>(g_object_get_data(G_OBJECT(window), INVALIDATED_KEY)))
        cairo_region_union(invalidated, region);
}

} // namespace

void PaintStraightToScreen(GtkWidget* widget)
{
    GdkWindow* window = gtk_widget_get_window(widget);
    if (!gdk_window_ensure_native(window))
        return;
    // The window holds the record, so that it lives exactly as long as the
    // window that reports to it.
    g_object_set_data_full(G_OBJECT(window), INVALIDATED_KEY, cairo_region_create(),
                           reinterpret_cast<GDestroyNotify>(cairo_region_destroy));
    gdk_window_set_invalidate_handler(window, RecordInvalidated);
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_widget_set_double_buffered(widget, FALSE);
    G_GNUC_END_IGNORE_DEPRECATIONS
}

void ClipToInvalidated(GtkWidget* widget, cairo_t* cr)
{
    GdkWindow* window = gtk_widget_get_window(widget);
    auto* invalidated = window == nullptr ? nullptr
                                          : static_cast<cairo_region_t*>(g_object_get_data(G_OBJECT(window), INVALIDATED_KEY));
    if (invalidated == nullptr || cairo_region_is_empty(invalidated))
        return;
    gdk_cairo_region(cr, invalidated);
    cairo_clip(cr);
    cairo_region_subtract(invalidated, invalidated);
}
