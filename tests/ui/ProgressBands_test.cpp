// Band geometry, fill extent and percentage label of the progress bar, as
// pure functions: no window needed.
#include "ui/ProgressBands.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

void PrintTo(const Rgb& colour, std::ostream* out)
{
    *out << "RGB(" << int{colour.red} << ", " << int{colour.green} << ", " << int{colour.blue} << ")";
}

void PrintTo(const BandFill& fill, std::ostream* out)
{
    *out << "(" << fill.left << ", " << fill.top << ")-(" << fill.right << ", " << fill.bottom << ") ";
    PrintTo(fill.colour, out);
}

namespace {

constexpr Rgb START{0, 170, 200};
constexpr Rgb END{0, 0, 250};
constexpr Rgb BACKGROUND{250, 250, 250};

std::vector<BandFill> Bands(int width, int height, int extent)
{
    return ComputeBands(width, height, extent, START, END, BACKGROUND);
}

// The fills must leave no column of [0, width) unpainted, in order, since
// the off-screen bitmap starts with whatever memory held.
void ExpectTilesWidth(const std::vector<BandFill>& fills, int width)
{
    int covered = 0;
    for (const BandFill& fill : fills) {
        EXPECT_EQ(fill.left, covered);
        EXPECT_GE(fill.right, fill.left);
        covered = fill.right;
    }
    EXPECT_EQ(covered, width);
}

// --- band colours --------------------------------------------------------

struct BandColourCase {
    int band;
    Rgb colour;
};

void PrintTo(const BandColourCase& c, std::ostream* out)
{
    *out << "band " << c.band;
}

class BandColourTable : public ::testing::TestWithParam<BandColourCase> {};

TEST_P(BandColourTable, BandHasItsStepColour)
{
    const auto fills = Bands(340, 20, 340);
    const auto& [band, colour] = GetParam();
    ASSERT_GT(fills.size(), static_cast<size_t>(band));
    EXPECT_EQ(fills[band].colour, colour) << "band " << band;
}

INSTANTIATE_TEST_SUITE_P(FixedColours, BandColourTable,
                         ::testing::Values(BandColourCase{0, {0, 170, 200}},
                                           BandColourCase{1, {0, 169, 200}},
                                           BandColourCase{50, {0, 120, 214}},
                                           BandColourCase{85, {0, 85, 225}},
                                           BandColourCase{100, {0, 70, 229}},
                                           BandColourCase{169, {0, 1, 249}}));

TEST(BandColours, NumberOfBandsIsTheLargestComponentDifference)
{
    // Green falls by 170, blue rises by 50: 170 bands whatever the width.
    for (int width : {20, 340, 1000}) {
        const auto fills = Bands(width, 10, width);
        ASSERT_GE(fills.size(), 170u);
        EXPECT_EQ(fills[169].colour, (Rgb{0, 1, 249}));
        for (size_t i = 170; i < fills.size(); ++i)
            EXPECT_EQ(fills[i].colour, BACKGROUND);
    }
}

TEST(BandColours, EqualColoursGiveOnlyBackground)
{
    const auto fills = ComputeBands(100, 10, 100, START, START, BACKGROUND);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0], (BandFill{0, 0, 100, 10, BACKGROUND}));
}

TEST(BandColours, RisingAndFallingRed)
{
    const auto up = ComputeBands(10, 1, 10, {0, 0, 0}, {10, 0, 0}, BACKGROUND);
    EXPECT_EQ(up[9].colour, (Rgb{9, 0, 0}));
    const auto down = ComputeBands(10, 1, 10, {10, 0, 0}, {0, 0, 0}, BACKGROUND);
    EXPECT_EQ(down[9].colour, (Rgb{1, 0, 0}));
}

// --- geometry ------------------------------------------------------------

TEST(BandGeometry, HalfOf340StopsAtTheFirstBandBeyondTheExtent)
{
    const auto fills = Bands(340, 20, 170);
    // Bands 0..85, then the background.
    ASSERT_EQ(fills.size(), 87u);
    EXPECT_EQ(fills[0], (BandFill{0, 0, 2, 21, {0, 170, 200}}));
    EXPECT_EQ(fills[85], (BandFill{170, 0, 172, 21, {0, 85, 225}}));
    EXPECT_EQ(fills[86], (BandFill{172, 0, 340, 20, BACKGROUND}));
}

TEST(BandGeometry, BandCrossingTheExtentIsDrawnWhole)
{
    // Extent 171 lies inside band 85 (170..172): it is the last one.
    auto fills = Bands(340, 20, 171);
    EXPECT_EQ(fills[fills.size() - 2].right, 172);
    // Extent 172 is band 85's right edge, not beyond it: band 86 is drawn.
    fills = Bands(340, 20, 172);
    EXPECT_EQ(fills[fills.size() - 2], (BandFill{172, 0, 174, 21, {0, 84, 225}}));
}

TEST(BandGeometry, FullBarOf340IsAllBandsAndNoBackground)
{
    const auto fills = Bands(340, 20, 340);
    ASSERT_EQ(fills.size(), 170u);
    for (int i = 0; i < 170; ++i) {
        EXPECT_EQ(fills[i].left, 2 * i);
        EXPECT_EQ(fills[i].right, 2 * i + 2);
        EXPECT_EQ(fills[i].top, 0);
        EXPECT_EQ(fills[i].bottom, 21);
    }
}

TEST(BandGeometry, NegativeExtentDrawsTheFirstBandOnly)
{
    const auto fills = Bands(340, 20, -1);
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0].right, 2);
    EXPECT_EQ(fills[1], (BandFill{2, 0, 340, 20, BACKGROUND}));
}

TEST(BandGeometry, NarrowBarKeepsTheWholeGradient)
{
    // 100 pixels for 170 bands: many bands are empty, and the gradient still
    // spans the bar from the start to one step short of the end colour.
    const auto fills = Bands(100, 10, 100);
    ASSERT_GE(fills.size(), 170u);
    int empty = 0;
    for (int i = 0; i < 170; ++i)
        empty += fills[i].left == fills[i].right ? 1 : 0;
    EXPECT_EQ(empty, 70);
    EXPECT_EQ(fills[0].colour, START);
    EXPECT_EQ(fills[169].colour, (Rgb{0, 1, 249}));
    EXPECT_GE(fills[169].right, 99);
    ExpectTilesWidth(fills, 100);
}

TEST(BandGeometry, GradientDoesNotDependOnThePosition)
{
    // A larger extent uncovers more of the same bands.
    const auto full = Bands(500, 16, 500);
    for (int extent : {0, 1, 37, 250, 499}) {
        const auto part = Bands(500, 16, extent);
        for (size_t i = 0; i + 1 < part.size(); ++i)
            EXPECT_EQ(part[i], full[i]) << "extent " << extent << " band " << i;
    }
}

TEST(BandGeometry, EveryColumnIsPaintedForEveryWidthAndExtent)
{
    // When the single-precision band width rounds down, the bands end a
    // column short of the bar; that column must still be painted.
    for (int width = 0; width <= 700; ++width) {
        for (int extent : {-1, 0, width / 3, width - 1, width}) {
            SCOPED_TRACE(::testing::Message() << "width " << width << " extent " << extent);
            ExpectTilesWidth(Bands(width, 5, extent), width);
        }
    }
}

TEST(BandGeometry, FullOddWidthEndsWithABackgroundColumn)
{
    // 341 / 170 rounds down in single precision: the bands reach 340 only.
    const auto fills = Bands(341, 20, 341);
    ASSERT_EQ(fills.size(), 171u);
    EXPECT_EQ(fills[169].right, 340);
    EXPECT_EQ(fills[170], (BandFill{340, 0, 341, 20, BACKGROUND}));
}

// --- extent, visibility and label ----------------------------------------

TEST(FillExtent, ScalesThePositionToTheWidthAndTruncates)
{
    EXPECT_EQ(FillExtent(50, 100, 340), 170);
    EXPECT_EQ(FillExtent(100, 100, 340), 340);
    EXPECT_EQ(FillExtent(1, 100, 340), 3);
    EXPECT_EQ(FillExtent(99, 100, 340), 336);
    EXPECT_EQ(FillExtent(1, 3, 100), 33);
}

TEST(FillExtent, IgnoresTheLowerBound)
{
    // position / upper only: 5 of (-100, 10] fills half the bar.
    EXPECT_EQ(FillExtent(5, 10, 200), 100);
}

TEST(FillExtent, OutOfRangeResultsAreClamped)
{
    EXPECT_EQ(FillExtent(INT_MIN + 1, 1, 1000), -1);
    EXPECT_EQ(FillExtent(-60, -50, 300), 300);
    EXPECT_EQ(FillExtent(0, 0, 300), 300);
    EXPECT_EQ(FillExtent(-1, 0, 300), -1);
}

struct VisibilityCase {
    int lower;
    int upper;
    int position;
    bool shows;
};

void PrintTo(const VisibilityCase& c, std::ostream* out)
{
    *out << c.position << " in (" << c.lower << ", " << c.upper << "]";
}

class Visibility : public ::testing::TestWithParam<VisibilityCase> {};

TEST_P(Visibility, GradientOnlyInsideLowerExclusiveUpperInclusive)
{
    const auto& c = GetParam();
    EXPECT_EQ(ShowsGradient(c.lower, c.upper, c.position), c.shows);
}

INSTANTIATE_TEST_SUITE_P(Ranges, Visibility,
                         ::testing::Values(VisibilityCase{0, 100, 0, false},
                                           VisibilityCase{0, 100, 1, true},
                                           VisibilityCase{0, 100, 100, true},
                                           VisibilityCase{0, 100, 101, false},
                                           VisibilityCase{0, 100, -1, false},
                                           VisibilityCase{100, 100, 100, false},
                                           VisibilityCase{100, 0, 50, false},
                                           VisibilityCase{-10, 0, 0, true}));

struct LabelCase {
    int lower;
    int upper;
    int position;
    std::string text;
};

void PrintTo(const LabelCase& c, std::ostream* out)
{
    *out << c.position << " in (" << c.lower << ", " << c.upper << "]";
}

class Label : public ::testing::TestWithParam<LabelCase> {};

TEST_P(Label, FormatsThePercentage)
{
    const auto& c = GetParam();
    EXPECT_EQ(PercentLabel(c.lower, c.upper, c.position), c.text);
}

INSTANTIATE_TEST_SUITE_P(Positions, Label,
                         ::testing::Values(LabelCase{0, 100, 5, "  5 %"},
                                           LabelCase{0, 100, 50, " 50 %"},
                                           LabelCase{0, 100, 100, "100 %"},
                                           LabelCase{0, 3, 1, " 33 %"},
                                           LabelCase{0, 1000, 999, "100 %"},
                                           LabelCase{-100, 100, 0, " 50 %"},
                                           LabelCase{INT_MIN, INT_MAX, INT_MAX, "100 %"},
                                           // No gradient, no label, no division.
                                           LabelCase{0, 100, 0, ""},
                                           LabelCase{0, 100, 101, ""},
                                           LabelCase{5, 5, 5, ""},
                                           LabelCase{0, 0, 0, ""},
                                           LabelCase{10, 0, 5, ""}));

} // namespace
