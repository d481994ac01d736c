#include "display/skin_geometry.h"

#include <algorithm>
#include <cmath>

#include "resources/resource_ids.h"

namespace velmora {

int ScaledLength(int logical, double scale) { return static_cast<int>(logical * scale); }

double NearestArtworkScale(double displayScale) {
    double nearest = 1.0;
    for (const double drawn : {1.5, 2.0})
        if (std::abs(drawn - displayScale) <= std::abs(nearest - displayScale)) nearest = drawn;
    return nearest;
}

int ScaledArtworkId(int id, double artworkScale) {
    if (artworkScale == 2.0) return id + ARTWORK_2X_ID_OFFSET;
    if (artworkScale == 1.5) return id + ARTWORK_1_5X_ID_OFFSET;
    return id;
}

DeviceRect ButtonDeviceRect(int x, int y, int width, int height, double scale) {
    const int left = ScaledLength(x, scale);
    const int top = ScaledLength(y, scale);
    return {left, top, static_cast<int>(width * scale + left), static_cast<int>(height * scale + top)};
}

DeviceRect CoveringDeviceRect(int x, int y, int width, int height, double scale, int surfaceWidth,
                              int surfaceHeight) {
    const auto floorOf = [scale](int v) { return static_cast<int>(std::floor(v * scale)); };
    const auto ceilOf = [scale](int v) { return static_cast<int>(std::ceil(v * scale)); };
    DeviceRect r{floorOf(x), floorOf(y), ceilOf(x + width), ceilOf(y + height)};
    r.left = std::clamp(r.left, 0, surfaceWidth);
    r.right = std::clamp(r.right, r.left, surfaceWidth);
    r.top = std::clamp(r.top, 0, surfaceHeight);
    r.bottom = std::clamp(r.bottom, r.top, surfaceHeight);
    return r;
}

namespace {

// Far more than any screen holds; keeps the arithmetic in range for any work area.
constexpr long long kMostPanels = 1 << 20;

// The most pitches `count` for which count x pitch + extra logical units, scaled to whole
// device pixels as a surface is, fit `available` pixels; at least one, so a panel always shows.
int MostThatFit(int pitch, int extra, int available, double scale) {
    const auto fits = [&](long long count) {
        return static_cast<long long>(static_cast<double>(count * pitch + extra) * scale) <= available;
    };
    long long count = static_cast<long long>((available / scale - extra) / pitch);  // a first guess
    count = std::clamp<long long>(count, 1, kMostPanels);
    while (count > 1 && !fits(count)) --count;
    while (count < kMostPanels && fits(count + 1)) ++count;
    return static_cast<int>(count);
}

}  // namespace

LogicalPoint WorldPanelGrid::Panel(int k) const {
    const int perColumn = std::max(rows, 1);
    return {(k / perColumn) * kWorldColumnPitch, (k % perColumn) * kWorldPanelPitch};
}

LogicalPoint WorldPanelGrid::Shadow(int column) const {
    const int perColumn = std::max(rows, 1);
    const int inColumn = std::clamp(shown - column * perColumn, 0, rows);
    return {column * kWorldColumnPitch, inColumn * kWorldPanelPitch - kWorldPanelGap};
}

WorldPanelGrid LayOutWorldPanels(int panelCount, const WorkArea& area) {
    WorldPanelGrid grid;
    grid.panelCount = std::max(panelCount, 0);
    const double scale = area.scale > 0 ? area.scale : 1.0;
    // One column: n panels 150 apart and the 10 units of shadow below the last one's gap.
    const int extraHeight = kWorldShadowHeight - kWorldPanelGap;
    const int rowsFit = MostThatFit(kWorldPanelPitch, extraHeight, area.height, scale);
    const int columnsFit = MostThatFit(kWorldColumnPitch, -kWorldPanelGap, area.width, scale);
    if (grid.panelCount <= rowsFit) {
        grid.rows = grid.panelCount;
        grid.shown = grid.panelCount;
    } else {
        const long long needed = (static_cast<long long>(grid.panelCount) + rowsFit - 1) / rowsFit;
        grid.columns = static_cast<int>(std::min<long long>(needed, columnsFit));
        if (needed <= columnsFit) {
            grid.rows = static_cast<int>((grid.panelCount + grid.columns - 1) / grid.columns);  // evenly
            grid.shown = grid.panelCount;
        } else {
            grid.rows = rowsFit;
            grid.shown = grid.columns * rowsFit;
        }
    }
    grid.width = grid.columns * kWorldColumnPitch - kWorldPanelGap;
    grid.height = grid.rows * kWorldPanelPitch + extraHeight;
    return grid;
}

WorldClockLayout LayOutWorldClocks(const std::vector<bool>& enabled, const WorkArea& area) {
    std::vector<int> clocks;
    for (std::size_t i = 0; i < enabled.size(); ++i)
        if (enabled[i]) clocks.push_back(static_cast<int>(i));
    const WorldPanelGrid grid = LayOutWorldPanels(static_cast<int>(clocks.size()), area);
    WorldClockLayout layout;
    for (int k = 0; k < grid.shown; ++k) {
        const LogicalPoint at = grid.Panel(k);
        layout.panelLefts.push_back(at.x);
        layout.rowTops.push_back(at.y);
        layout.clocks.push_back(clocks[static_cast<std::size_t>(k)]);
    }
    for (int c = 0; c < grid.columns; ++c) layout.shadows.push_back(grid.Shadow(c));
    layout.totalWidth = grid.width;
    layout.totalHeight = grid.height;
    layout.shadowTop = grid.height - kWorldShadowHeight;
    layout.omitted = grid.panelCount - grid.shown;
    return layout;
}

}  // namespace velmora
