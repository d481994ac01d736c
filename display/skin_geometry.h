#pragma once
// Logical-to-device arithmetic of the clock faces and the world-clock column's layout.
// Logical units are pixels at 96 DPI; device lengths are truncated toward zero. No Windows here.
#include <vector>

namespace velmora {

int ScaledLength(int logical, double scale);

// A child control placed at logical (x, y) with a logical size: its left and top are
// scaled first and its right and bottom measured from them, so neighbours never overlap.
struct DeviceRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const DeviceRect&) const = default;
};
DeviceRect ButtonDeviceRect(int x, int y, int width, int height, double scale);

// The smallest whole-pixel rectangle covering a logical rectangle (a repaint must reach
// every pixel that the rectangle's scaled edges touch), clipped to the surface.
DeviceRect CoveringDeviceRect(int x, int y, int width, int height, double scale, int surfaceWidth,
                              int surfaceHeight);

// The world-clock column: one panel per enabled clock, 15 apart, the stand's shadow under
// the last one.
inline constexpr int kWorldPanelWidth = 258;
inline constexpr int kWorldPanelHeight = 135;
inline constexpr int kWorldShadowHeight = 25;
inline constexpr int kWorldPanelGap = 15;

struct WorldClockLayout {
    std::vector<int> rowTops;  // logical y of each enabled clock's panel, in list order
    std::vector<int> clocks;   // the list index each row shows
    int totalHeight = 0;
    int shadowTop = 0;
};
// `enabled` holds each listed clock's flag, in list order.
WorldClockLayout LayOutWorldClocks(const std::vector<bool>& enabled);

}  // namespace velmora
