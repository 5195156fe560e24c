// Painting a widget straight to the screen, without the toolkit's buffer,
// for a widget that keeps its own drawing off-screen. Unbuffered, the
// toolkit hands the draw handler the whole window; the invalidated area is
// recorded here so that a paint still touches only what changed. On a
// display without native child windows nothing changes: the toolkit
// buffers and clips as before. UI thread only.
#pragma once

#include <gtk/gtk.h>

// Call once the widget is realized.
void PaintStraightToScreen(GtkWidget* widget);

// Clips cr to what was invalidated since the last paint, and forgets it.
// Nothing recorded (a draw the toolkit started on its own) leaves cr as it is.
void ClipToInvalidated(GtkWidget* widget, cairo_t* cr);
