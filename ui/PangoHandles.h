// Owning handles for the Pango and GObject objects the receive pane keeps.
// UI thread only.
#pragma once

#include <glib-object.h>
#include <pango/pango.h>

#include <memory>

struct GObjectUnref {
    void operator()(void* object) const { g_object_unref(object); }
};
using LayoutPtr = std::unique_ptr<PangoLayout, GObjectUnref>;
using FontPtr = std::unique_ptr<PangoFont, GObjectUnref>;

struct AttrListUnref {
    void operator()(PangoAttrList* list) const { pango_attr_list_unref(list); }
};
using AttrListPtr = std::unique_ptr<PangoAttrList, AttrListUnref>;
