// The geometry and colours of the gradient progress bar as pure functions:
// which rectangles are filled with which colour for a bar W x H whose fill
// extent is E, how far a position fills the bar, and its percentage label.
// No window or display is needed; any thread may call them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// One solid fill; right and bottom are exclusive, as a rectangle fill leaves
// them out.
struct BandFill {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    Rgb colour;

    friend bool operator==(const BandFill&, const BandFill&) = default;
};

// The bar shows the gradient only for positions in (lower, upper]; every
// other position, and every position of a range with lower >= upper, shows
// the bare background.
bool ShowsGradient(int lower, int upper, int position);

// The x up to which the gradient is uncovered: position / upper * width,
// rounded to single precision and truncated. Results beyond the bar are
// clamped to -1 and width, which paint the same as any value beyond them.
int FillExtent(int position, int upper, int width);

// "%3.0f %%" of the position's share of the range; empty while the bar shows
// no gradient (so a range with lower >= upper never divides by zero).
std::string PercentLabel(int lower, int upper, int position);

// The fills in painting order: bands from the start colour towards the end
// colour across the whole width (one band per step of the largest component
// difference), up to and including the first band whose right edge lies
// beyond extent, then the background over the rest of the bar.
std::vector<BandFill> ComputeBands(int width, int height, int extent,
                                   Rgb start, Rgb end, Rgb background);
