// The pane's layout against Pango itself: a plain ASCII line measured from
// the glyph table ends where Pango puts its end, so drawing it either way
// puts every character on the same pixels; lines that need shaping or do not
// fit are laid out and wrapped by Pango.
#include "ui/PaneLayout.h"

#include <gtest/gtest.h>

#include <pango/pangocairo.h>

#include <string>

namespace {

class PaneLayoutTest : public ::testing::Test {
protected:
    PaneLayoutTest()
        : m_context(pango_font_map_create_context(pango_cairo_font_map_get_default()))
        , m_font(pango_font_description_from_string("Sans 9"))
    {
        m_layout.SetContext(m_context.get(), m_font);
        m_layout.SetWidth(WIDTH);
    }
    ~PaneLayoutTest() override { pango_font_description_free(m_font); }

    void Show(const std::wstring& text)
    {
        m_layout.Splice(m_text.Replace(0, m_text.Size(), text));
    }

    int Height(size_t paragraph) { return m_layout.ParagraphTop(m_text, paragraph + 1) - m_layout.ParagraphTop(m_text, paragraph); }

    static constexpr int WIDTH = 400;
    const std::unique_ptr<PangoContext, GObjectUnref> m_context;
    PangoFontDescription* m_font;
    PaneText m_text;
    PaneLayout m_layout;
};

TEST_F(PaneLayoutTest, APlainLineEndsWhereItsPangoLayoutEnds)
{
    // Pairs a kerning font would move closer.
    const std::wstring line = L"AVATAR To Wa; LT 7/11 \"quoted\" {x} [y] ~z";
    Show(line + L"\r\n");
    ASSERT_TRUE(m_layout.IsPlain(m_text, 0));
    int width = 0;
    ASSERT_TRUE(m_layout.Glyphs().Fits(line, WIDTH, width));
    // The caret at the line's end comes from Pango's layout of it.
    const CaretBox end = m_layout.Caret(m_text, line.size());
    EXPECT_EQ(end.x, width);
    EXPECT_EQ(end.y, 0);
    EXPECT_EQ(Height(0), end.height);
    // Hit testing is the caret's inverse.
    EXPECT_EQ(m_layout.PositionAt(m_text, m_layout.Caret(m_text, 5).x, 1), 5u);
}

TEST_F(PaneLayoutTest, LinesThatNeedShapingOrDoNotFitArePangosAndWrap)
{
    const std::wstring lineHeightProbe = L"x";
    Show(lineHeightProbe);
    const int oneLine = m_layout.Height(m_text);

    Show(L"中文 text\n" + std::wstring(200, L'w') + L"\nend");
    EXPECT_FALSE(m_layout.IsPlain(m_text, 0));
    EXPECT_FALSE(m_layout.IsPlain(m_text, 1));
    EXPECT_TRUE(m_layout.IsPlain(m_text, 2));
    EXPECT_GE(Height(1), 2 * oneLine);
    EXPECT_EQ(m_layout.ParagraphTop(m_text, 2), Height(0) + Height(1));
    EXPECT_LE(m_layout.ParagraphRight(m_text, 1), WIDTH);

    // A narrower pane wraps more.
    const int before = Height(1);
    m_layout.SetWidth(WIDTH / 2);
    EXPECT_GT(Height(1), before);
}

} // namespace
