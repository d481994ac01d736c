#pragma once
// Logical-to-device arithmetic of the clock faces and the world-clock view's layout.
// Logical units are pixels at 96 DPI; device lengths are truncated toward zero. No Windows here.
#include <vector>

namespace velmora {

int ScaledLength(int logical, double scale);

// The artwork comes drawn at 1, 1.5 and 2 times its size. The one to draw at a display
// scale: the nearest, and between two the larger, as reducing an image loses less than
// enlarging it (1.25 takes 1.5, 1.75 takes 2, 3 takes 2).
double NearestArtworkScale(double displayScale);
// The resource id of image `id` drawn at `artworkScale` (one of the three).
int ScaledArtworkId(int id, double artworkScale);

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

// The world-clock view: one panel per enabled clock, 15 apart, the stand's shadow under
// the last panel of each column.
inline constexpr int kWorldPanelWidth = 258;
inline constexpr int kWorldPanelHeight = 135;
inline constexpr int kWorldShadowHeight = 25;
inline constexpr int kWorldPanelGap = 15;
inline constexpr int kWorldPanelPitch = kWorldPanelHeight + kWorldPanelGap;         // down a column
inline constexpr int kWorldColumnPitch = kWorldPanelWidth + kWorldPanelGap;        // across

// The monitor's work area in device pixels, and the display scale the face is drawn at.
struct WorkArea {
    int width = 0;
    int height = 0;
    double scale = 1.0;
};

struct LogicalPoint {
    int x = 0;
    int y = 0;
    bool operator==(const LogicalPoint&) const = default;
};

// Where `panelCount` panels go. While one column (150 x n + 10 logical units) fits the work
// area's height, that column; beyond that, further columns side by side, the panels shared
// out evenly, as many columns as the width holds. Panels that the whole work area cannot
// hold are left out (`shown` < `panelCount`), so every panel drawn is whole and on screen
// and the face never outgrows the screen, however long the list.
struct WorldPanelGrid {
    int panelCount = 0;
    int shown = 0;
    int columns = 1;
    int rows = 0;       // panels in each column but the last, which may hold fewer
    int width = kWorldPanelWidth;          // the face, logical
    int height = kWorldShadowHeight - kWorldPanelGap;

    // Logical top-left of panel k, 0 <= k < shown: down the first column, then the next.
    LogicalPoint Panel(int k) const;
    // Logical top-left of the stand's shadow under column c.
    LogicalPoint Shadow(int column) const;
};
WorldPanelGrid LayOutWorldPanels(int panelCount, const WorkArea& area);

// A work area that holds any number of panels in one column.
inline constexpr WorkArea kUnboundedWorkArea{1 << 30, 1 << 30, 1.0};

// The grid applied to a list of clocks: `enabled` holds each listed clock's flag, in list
// order; the enabled ones fill the panels in that order.
struct WorldClockLayout {
    std::vector<int> rowTops;     // logical y of each panel shown
    std::vector<int> panelLefts;  // logical x of each panel shown
    std::vector<int> clocks;      // the list index each panel shows
    std::vector<LogicalPoint> shadows;  // one per column
    int totalWidth = kWorldPanelWidth;
    int totalHeight = 0;
    int shadowTop = 0;            // the tallest column's shadow
    int omitted = 0;              // enabled clocks the work area has no room for
};
WorldClockLayout LayOutWorldClocks(const std::vector<bool>& enabled, const WorkArea& area = kUnboundedWorkArea);

}  // namespace velmora
