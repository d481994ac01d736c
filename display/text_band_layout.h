#pragma once
// How a band of a clock face is shared between the texts drawn in it: each text gets the rows
// nearest to it, so that one of them can be redrawn without touching the others. No Windows here.
#include <vector>

namespace velmora {

struct BandTextPlace {
    float y = 0;   // logical centre
    int size = 0;  // pixel size of the font
};

struct RowSpan {
    int top = 0;
    int bottom = 0;  // exclusive
    bool operator==(const RowSpan&) const = default;
};

// The device rows of each text (in the order given) within the band's rows [top, bottom).
// Two texts one above the other are divided where the distance to each, measured in its
// own font size, is the same: a larger font's ink reaches further. Empty when two texts
// share their centre line and cannot be divided by rows.
std::vector<RowSpan> DivideBandRows(const std::vector<BandTextPlace>& texts, int top, int bottom, double scale);

}  // namespace velmora
