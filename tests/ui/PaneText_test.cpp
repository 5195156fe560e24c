#include "ui/PaneText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Each paragraph as its text and its break, to compare whole splits.
std::vector<std::wstring> Split(const PaneText& text)
{
    std::vector<std::wstring> parts;
    for (const PaneParagraph& p : text.Paragraphs())
        parts.push_back(text.Text().substr(p.start, p.length) + L"|" + text.Text().substr(p.start + p.length, p.breakLength));
    return parts;
}

TEST(PaneTextTest, BreaksSplitAsTheTextViewsDoAndChangesResplitOnlyAroundThem)
{
    PaneText text;
    EXPECT_EQ(Split(text), (std::vector<std::wstring> { L"|" }));

    text.Replace(0, 0, L"a\r\nb\rc\nd\r");
    EXPECT_EQ(Split(text), (std::vector<std::wstring> { L"a|\r\n", L"b|\r", L"c|\n", L"d|\r", L"|" }));

    // A "\n" that arrives after a lone "\r" joins it into one break.
    const ParagraphSplice splice = text.Replace(text.Size(), text.Size(), L"\nend");
    EXPECT_EQ(Split(text), (std::vector<std::wstring> { L"a|\r\n", L"b|\r", L"c|\n", L"d|\r\n", L"end|" }));
    EXPECT_EQ(splice.first, 3u);
    EXPECT_EQ(splice.removed, 2u);
    EXPECT_EQ(splice.inserted, 2u);
    EXPECT_EQ(text.ParagraphAt(text.Size()), 4u);
    EXPECT_TRUE(text.IsInsideBreak(2));
    EXPECT_FALSE(text.IsInsideBreak(1));

    // Dropping the start inside a paragraph keeps the rest of it.
    text.Replace(0, 4, L"");
    EXPECT_EQ(Split(text), (std::vector<std::wstring> { L"|\r", L"c|\n", L"d|\r\n", L"end|" }));
    EXPECT_EQ(text.Paragraphs()[3].start, 6u);

    text.Replace(0, text.Size(), L"");
    EXPECT_EQ(Split(text), (std::vector<std::wstring> { L"|" }));

    // Typing at the end of a line touches that line alone.
    text.Replace(0, 0, L"ok\n");
    const ParagraphSplice typed = text.Replace(3, 3, L"x");
    EXPECT_EQ(typed.first, 1u);
    EXPECT_EQ(typed.removed, 1u);
    EXPECT_EQ(typed.inserted, 1u);
}

} // namespace
