#pragma once
// Where a clock window may stand: it snaps to the work area's edges and stays on the
// desktop. Only the visible part of the artwork counts, not its transparent margins or the
// stand's shadow. No Windows here.
#include <optional>

namespace velmora {

// Device pixels, not scaled: a snap feels the same at every DPI.
inline constexpr int SnapDistance = 15;

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct PixelPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PixelPoint&) const = default;
};

struct SnapInput {
    PixelPoint proposed;            // the window's proposed top-left corner
    int clientWidth = 0;            // the window's client size, device pixels
    int clientHeight = 0;
    bool compact = false;           // the compact view (its strip is inset and short)
    double scale = 1.0;             // DisplayScale
    std::optional<PixelRect> work;  // the nearest monitor's work area; none: no snapping
    PixelRect desk;                 // the window stays within this rectangle
};

// The visible rectangle of a window whose top-left corner is at (0, 0), and the horizontal
// shift between that rectangle's edge and the window's own.
struct VisibleArea {
    PixelRect rect;
    int shift = 0;
};
VisibleArea VisibleAreaOf(int clientWidth, int clientHeight, bool compact, double scale);

// The position the window takes instead of `proposed`.
PixelPoint SnapWindowPosition(const SnapInput& input);

}  // namespace velmora
