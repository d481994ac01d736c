#include "display/text_band_layout.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace velmora {

std::vector<RowSpan> DivideBandRows(const std::vector<BandTextPlace>& texts, int top, int bottom, double scale) {
    std::vector<std::size_t> order(texts.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return texts[a].y < texts[b].y; });
    std::vector<RowSpan> rows(texts.size());
    int edge = top;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const BandTextPlace& here = texts[order[i]];
        int next = bottom;
        if (i + 1 < order.size()) {
            const BandTextPlace& below = texts[order[i + 1]];
            const double sizes = static_cast<double>(here.size) + below.size;
            if (below.y <= here.y || sizes <= 0) return {};
            const double split = here.y + (below.y - here.y) * here.size / sizes;
            next = std::clamp(static_cast<int>(std::lround(split * scale)), top, bottom);
        }
        if (next <= edge) return {};
        rows[order[i]] = {edge, next};
        edge = next;
    }
    return rows;
}

}  // namespace velmora
