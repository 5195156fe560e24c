#include "ui/ProgressBands.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

namespace {

struct ColourSteps {
    float red;
    float green;
    float blue;
};

std::uint8_t BandComponent(std::uint8_t start, float step, int band)
{
    const int value = static_cast<int>(start + band * static_cast<double>(step));
    return static_cast<std::uint8_t>(value & 0xFF);
}

Rgb BandColour(Rgb start, const ColourSteps& steps, int band)
{
    return {BandComponent(start.red, steps.red, band),
            BandComponent(start.green, steps.green, band),
            BandComponent(start.blue, steps.blue, band)};
}

} // namespace

bool ShowsGradient(int lower, int upper, int position)
{
    return position > lower && position <= upper;
}

int FillExtent(int position, int upper, int width)
{
    // A zero upper bound has no ratio; take the formula's limits so that the
    // position at the bound fills the bar and no infinity reaches the cast.
    if (upper == 0) {
        return position < 0 ? -1 : width;
    }
    const float extent = static_cast<float>(static_cast<double>(position) / upper * width);
    if (extent < -1.0f) {
        return -1;
    }
    if (extent > static_cast<float>(width)) {
        return width;
    }
    return static_cast<int>(extent);
}

std::string PercentLabel(int lower, int upper, int position)
{
    if (!ShowsGradient(lower, upper, position)) {
        return {};
    }
    // 64-bit differences: a range spanning most of int32 must not overflow.
    const auto span = static_cast<std::int64_t>(upper) - lower;
    const auto done = static_cast<std::int64_t>(position) - lower;
    float percent = static_cast<float>(done * 100);
    percent = percent / static_cast<float>(span);
    std::array<char, 64> text{};
    std::snprintf(text.data(), text.size(), "%3.0f %%", static_cast<double>(percent));
    return text.data();
}

std::vector<BandFill> ComputeBands(int width, int height, int extent,
                                   Rgb start, Rgb end, Rgb background)
{
    const int dRed = end.red - start.red;
    const int dGreen = end.green - start.green;
    const int dBlue = end.blue - start.blue;
    const int bands = std::max({std::abs(dRed), std::abs(dGreen), std::abs(dBlue)});

    std::vector<BandFill> fills;
    int right = 0;
    if (bands > 0) {
        const auto n = static_cast<float>(bands);
        const ColourSteps steps{static_cast<float>(dRed) / n, static_cast<float>(dGreen) / n,
                                static_cast<float>(dBlue) / n};
        const double bandWidth = static_cast<float>(width) / n;
        fills.reserve(static_cast<size_t>(bands) + 1);
        for (int i = 0; i < bands; ++i) {
            const auto left = static_cast<int>(i * bandWidth);
            right = static_cast<int>((i + 1) * bandWidth);
            fills.push_back({left, 0, right, height + 1, BandColour(start, steps, i)});
            if (right > extent) {
                break;
            }
        }
    }
    // The off-screen bitmap starts uncleared: whatever the bands leave on the
    // right, including the last column or two when the single-precision band
    // width rounds down, must be painted.
    if (right < width) {
        fills.push_back({right, 0, width, height, background});
    }
    return fills;
}
