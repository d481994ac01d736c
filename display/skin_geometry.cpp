#include "display/skin_geometry.h"

#include <algorithm>
#include <cmath>

namespace velmora {

int ScaledLength(int logical, double scale) { return static_cast<int>(logical * scale); }

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

WorldClockLayout LayOutWorldClocks(const std::vector<bool>& enabled) {
    WorldClockLayout layout;
    const int pitch = kWorldPanelHeight + kWorldPanelGap;
    for (std::size_t i = 0; i < enabled.size(); ++i) {
        if (!enabled[i]) continue;
        layout.rowTops.push_back(pitch * static_cast<int>(layout.clocks.size()));
        layout.clocks.push_back(static_cast<int>(i));
    }
    const int n = static_cast<int>(layout.clocks.size());
    layout.totalHeight = n * pitch + (kWorldShadowHeight - kWorldPanelGap);
    layout.shadowTop = layout.totalHeight - kWorldShadowHeight;
    return layout;
}

}  // namespace velmora
