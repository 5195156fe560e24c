#include "ui/PaneAccessible.h"

#include <gtk/gtk-a11y.h>
#include <gtk/gtk.h>
#include <wx/window.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>

namespace {

// GTK's accessible for a plain widget (focus, geometry, states) plus the
// text interface over the pane's text.
struct PaneAccessible {
    GtkWidgetAccessible parent;
};

struct PaneAccessibleClass {
    GtkWidgetAccessibleClass parentClass;
};

void InitText(AtkTextIface* iface);

G_DEFINE_TYPE_WITH_CODE(PaneAccessible, pane_accessible, GTK_TYPE_WIDGET_ACCESSIBLE,
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_TEXT, InitText))

// On the widget: the PaneTextSource, and our accessible object once made.
GQuark SourceQuark()
{
    static const GQuark quark = g_quark_from_static_string("taliard-pane-text-source");
    return quark;
}

GQuark AccessibleQuark()
{
    static const GQuark quark = g_quark_from_static_string("taliard-pane-accessible");
    return quark;
}

// Null once the widget is destroyed: an assistive tool may keep the
// accessible object longer than the pane lives.
const PaneTextSource* SourceOf(AtkText* text)
{
    GtkWidget* widget = gtk_accessible_get_widget(GTK_ACCESSIBLE(text));
    if (widget == nullptr)
        return nullptr;
    return static_cast<const PaneTextSource*>(g_object_get_qdata(G_OBJECT(widget), SourceQuark()));
}

gint ToOffset(long offset)
{
    return static_cast<gint>(std::clamp<long>(offset, -1, INT_MAX));
}

std::size_t ClampOffset(long offset, std::size_t length)
{
    return offset <= 0 ? 0 : std::min(static_cast<std::size_t>(offset), length);
}

// What the bridge may pass on: D-Bus refuses invalid UTF-8, and a NUL would
// end the C string early and shift every offset after it.
gunichar Exported(wchar_t character)
{
    const auto code = static_cast<gunichar>(character);
    return code == 0 || !g_unichar_validate(code) ? 0xFFFDu : code;
}

using Utf8Text = std::unique_ptr<gchar, decltype(&g_free)>;

// text[from, to) in newly allocated UTF-8, as ATK hands text out. Every
// change of a chatty board's text passes here once the pane has focus.
Utf8Text Utf8Copy(const std::wstring& text, std::size_t from, std::size_t to)
{
    // A valid code point takes at most four bytes.
    Utf8Text utf8(static_cast<gchar*>(g_malloc(4 * (to - from) + 1)), g_free);
    gchar* end = utf8.get();
    for (std::size_t i = from; i < to; ++i) {
        const gunichar code = Exported(text[i]);
        if (code < 0x80)
            *end++ = static_cast<gchar>(code);
        else
            end += g_unichar_to_utf8(code, end);
    }
    *end = '\0';
    return utf8;
}

struct Span {
    std::size_t from;
    std::size_t to;
};

bool IsWordCharacter(wchar_t character)
{
    return character == L'_' || g_unichar_isalnum(static_cast<gunichar>(character));
}

bool IsWordStart(const std::wstring& text, std::size_t i)
{
    return i < text.size() && IsWordCharacter(text[i]) && (i == 0 || !IsWordCharacter(text[i - 1]));
}

// From the start of the word at or before offset to the start of the next.
Span WordAt(const std::wstring& text, std::size_t offset)
{
    std::size_t from = offset;
    while (from > 0 && !IsWordStart(text, from))
        --from;
    std::size_t to = std::min(offset + 1, text.size());
    while (to < text.size() && !IsWordStart(text, to))
        ++to;
    return {from, to};
}

// A line runs to just after its line break, so a reader hears where it ends;
// the pane's own wrapping is not known here.
Span LineAt(const std::wstring& text, std::size_t offset)
{
    const std::size_t before = offset == 0 ? std::wstring::npos : text.rfind(L'\n', offset - 1);
    const std::size_t after = text.find(L'\n', offset);
    return {before == std::wstring::npos ? 0 : before + 1, after == std::wstring::npos ? text.size() : after + 1};
}

gchar* GetText(AtkText* text, gint start, gint end)
{
    const PaneTextSource* source = SourceOf(text);
    if (source == nullptr)
        return nullptr;
    const std::wstring& all = source->AccessibleText();
    const std::size_t from = ClampOffset(start, all.size());
    // An end of -1 means the end of the text.
    const std::size_t to = end < 0 ? all.size() : std::max(from, ClampOffset(end, all.size()));
    return Utf8Copy(all, from, to).release();
}

gint GetCharacterCount(AtkText* text)
{
    const PaneTextSource* source = SourceOf(text);
    return source == nullptr ? 0 : ToOffset(static_cast<long>(source->AccessibleText().size()));
}

gunichar GetCharacterAtOffset(AtkText* text, gint offset)
{
    const PaneTextSource* source = SourceOf(text);
    if (source == nullptr || offset < 0 || static_cast<std::size_t>(offset) >= source->AccessibleText().size())
        return 0;
    return Exported(source->AccessibleText()[static_cast<std::size_t>(offset)]);
}

gint GetCaretOffset(AtkText* text)
{
    const PaneTextSource* source = SourceOf(text);
    return source == nullptr ? -1 : ToOffset(source->AccessibleCaret());
}

gchar* GetStringAtOffset(AtkText* text, gint offset, AtkTextGranularity granularity, gint* start, gint* end)
{
    *start = -1;
    *end = -1;
    const PaneTextSource* source = SourceOf(text);
    if (source == nullptr)
        return nullptr;
    const std::wstring& all = source->AccessibleText();
    if (offset < 0 || static_cast<std::size_t>(offset) > all.size())
        return nullptr;
    const auto at = static_cast<std::size_t>(offset);
    Span span{};
    switch (granularity) {
    case ATK_TEXT_GRANULARITY_CHAR:
        span = {at, std::min(at + 1, all.size())};
        break;
    case ATK_TEXT_GRANULARITY_WORD:
        span = WordAt(all, at);
        break;
    // Without the pane's wrapping, a paragraph and a line are the same text.
    case ATK_TEXT_GRANULARITY_LINE:
    case ATK_TEXT_GRANULARITY_PARAGRAPH:
        span = LineAt(all, at);
        break;
    default:
        return nullptr;
    }
    *start = ToOffset(static_cast<long>(span.from));
    *end = ToOffset(static_cast<long>(span.to));
    return Utf8Copy(all, span.from, span.to).release();
}

// The pane's selection, from <= to; false when nothing is selected.
bool SelectionOf(const PaneTextSource& source, long& from, long& to)
{
    source.AccessibleSelection(from, to);
    if (from > to)
        std::swap(from, to);
    return from != to;
}

gint GetNSelections(AtkText* text)
{
    const PaneTextSource* source = SourceOf(text);
    long from = 0;
    long to = 0;
    return source != nullptr && SelectionOf(*source, from, to) ? 1 : 0;
}

gchar* GetSelection(AtkText* text, gint number, gint* start, gint* end)
{
    *start = 0;
    *end = 0;
    const PaneTextSource* source = SourceOf(text);
    long from = 0;
    long to = 0;
    if (source == nullptr || number != 0 || !SelectionOf(*source, from, to))
        return nullptr;
    const std::wstring& all = source->AccessibleText();
    const std::size_t first = ClampOffset(from, all.size());
    const std::size_t last = ClampOffset(to, all.size());
    *start = ToOffset(static_cast<long>(first));
    *end = ToOffset(static_cast<long>(last));
    return Utf8Copy(all, first, last).release();
}

void InitText(AtkTextIface* iface)
{
    iface->get_text = GetText;
    iface->get_character_count = GetCharacterCount;
    iface->get_character_at_offset = GetCharacterAtOffset;
    iface->get_caret_offset = GetCaretOffset;
    iface->get_string_at_offset = GetStringAtOffset;
    iface->get_n_selections = GetNSelections;
    iface->get_selection = GetSelection;
}

AtkStateSet* RefStateSet(AtkObject* accessible)
{
    AtkStateSet* states = ATK_OBJECT_CLASS(pane_accessible_parent_class)->ref_state_set(accessible);
    atk_state_set_add_state(states, ATK_STATE_EDITABLE);
    atk_state_set_add_state(states, ATK_STATE_MULTI_LINE);
    return states;
}

void pane_accessible_class_init(PaneAccessibleClass* paneClass)
{
    ATK_OBJECT_CLASS(paneClass)->ref_state_set = RefStateSet;
}

void pane_accessible_init(PaneAccessible*) {}

void ReleaseAccessible(gpointer accessible)
{
    gtk_accessible_set_widget(GTK_ACCESSIBLE(accessible), nullptr);
    g_object_unref(accessible);
}

// Made the way GTK makes a widget's own accessible object, and kept on the
// widget so every request gets the same one.
AtkObject* CreateAccessible(GtkWidget* widget)
{
    auto* accessible = ATK_OBJECT(g_object_new(pane_accessible_get_type(), "widget", widget, nullptr));
    g_object_set_qdata_full(G_OBJECT(widget), AccessibleQuark(), accessible, ReleaseAccessible);
    atk_object_initialize(accessible, widget);
    atk_object_set_role(accessible, ATK_ROLE_TEXT);
    return accessible;
}

using GetAccessibleFunction = AtkObject* (*)(GtkWidget*);

// On the widget classes whose get_accessible we took over: their own one.
// Kept by GLib rather than in a static of ours, which would be gone before
// wx destroys its last windows at exit.
GQuark OriginalQuark()
{
    static const GQuark quark = g_quark_from_static_string("taliard-original-get-accessible");
    return quark;
}

// wx makes the drawing widget with a class shared by all its self-drawn
// windows, so the class answers for our panes and hands every other widget
// to the function it had before.
AtkObject* GetAccessible(GtkWidget* widget)
{
    if (g_object_get_qdata(G_OBJECT(widget), SourceQuark()) != nullptr) {
        auto* accessible = static_cast<AtkObject*>(g_object_get_qdata(G_OBJECT(widget), AccessibleQuark()));
        return accessible != nullptr ? accessible : CreateAccessible(widget);
    }
    // Classes derived after the takeover inherited this function.
    for (GType type = G_OBJECT_TYPE(widget); type != 0; type = g_type_parent(type)) {
        if (gpointer original = g_type_get_qdata(type, OriginalQuark()))
            return reinterpret_cast<GetAccessibleFunction>(original)(widget);
    }
    return nullptr;
}

void TakeOverGetAccessible(GtkWidget* widget)
{
    GtkWidgetClass* widgetClass = GTK_WIDGET_GET_CLASS(widget);
    if (widgetClass->get_accessible != GetAccessible) {
        g_type_set_qdata(G_OBJECT_TYPE(widget), OriginalQuark(),
                         reinterpret_cast<gpointer>(widgetClass->get_accessible));
        widgetClass->get_accessible = GetAccessible;
    }
}

// From here on the pane may be gone: its accessible object turns defunct
// and reads nothing.
void ForgetPane(GtkWidget* widget, gpointer)
{
    g_object_set_qdata(G_OBJECT(widget), AccessibleQuark(), nullptr);
    g_object_set_qdata(G_OBJECT(widget), SourceQuark(), nullptr);
}

// The pane's accessible object if a tool already asked for it.
AtkObject* ExistingAccessible(const wxWindow& window)
{
    if (window.m_wxwindow == nullptr)
        return nullptr;
    return static_cast<AtkObject*>(g_object_get_qdata(G_OBJECT(window.m_wxwindow), AccessibleQuark()));
}

void EmitTextChange(const wxWindow& window, const char* signal, long position, long length)
{
    AtkObject* accessible = ExistingAccessible(window);
    const PaneTextSource* source = accessible == nullptr ? nullptr : SourceOf(ATK_TEXT(accessible));
    if (source == nullptr || length <= 0)
        return;
    const std::wstring& text = source->AccessibleText();
    const std::size_t from = ClampOffset(position, text.size());
    const std::size_t to = from + std::min(static_cast<std::size_t>(length), text.size() - from);
    const Utf8Text changed = Utf8Copy(text, from, to);
    g_signal_emit_by_name(accessible, signal, ToOffset(static_cast<long>(from)),
                          ToOffset(static_cast<long>(to - from)), changed.get());
}

} // namespace

void ExposePaneText(wxWindow& window, const PaneTextSource& source)
{
    GtkWidget* widget = window.m_wxwindow;
    wxCHECK_RET(widget != nullptr, "only a window wx draws itself has a drawing widget");
    TakeOverGetAccessible(widget);
    g_object_set_qdata(G_OBJECT(widget), SourceQuark(), const_cast<PaneTextSource*>(&source));
    g_signal_connect(widget, "destroy", G_CALLBACK(ForgetPane), nullptr);
}

void NotifyPaneTextRemoving(wxWindow& window, long position, long length)
{
    EmitTextChange(window, "text-remove", position, length);
}

void NotifyPaneTextInserted(wxWindow& window, long position, long length)
{
    EmitTextChange(window, "text-insert", position, length);
}

void NotifyPaneCaretMoved(wxWindow& window, long caret)
{
    AtkObject* accessible = ExistingAccessible(window);
    if (accessible != nullptr)
        g_signal_emit_by_name(accessible, "text-caret-moved", ToOffset(caret));
}
