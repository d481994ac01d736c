#include "display/window_snap.h"

#include <cstdlib>

namespace velmora {

namespace {
// Truncated toward zero, as the logical-to-device conversions everywhere else.
int Scaled(int logical, double scale) { return static_cast<int>(logical * scale); }
}  // namespace

VisibleArea VisibleAreaOf(int clientWidth, int clientHeight, bool compact, double scale) {
    VisibleArea area{{0, 0, clientWidth, clientHeight}, 0};
    if (compact) {
        // The strip is 191 x 36 starting 5 in; the rows below it are the drop-down menu.
        area.rect.left += Scaled(5, scale);
        area.rect.right += Scaled(-5, scale);
        area.rect.bottom += Scaled(-117, scale);
        area.shift = Scaled(-6, scale);
    } else {
        area.rect.bottom += Scaled(-25, scale);  // the stand's shadow may hang off an edge
    }
    return area;
}

PixelPoint SnapWindowPosition(const SnapInput& input) {
    const VisibleArea area = VisibleAreaOf(input.clientWidth, input.clientHeight, input.compact, input.scale);
    const int width = area.rect.right - area.rect.left;
    const int height = area.rect.bottom - area.rect.top;
    const int shift = area.shift;
    const PixelRect r{area.rect.left + input.proposed.x, area.rect.top + input.proposed.y,
                      area.rect.right + input.proposed.x, area.rect.bottom + input.proposed.y};
    PixelPoint at = input.proposed;

    // Later rules win: the right edge over the left, the bottom over the top.
    if (input.work) {
        const PixelRect& work = *input.work;
        if (std::abs(work.left - r.left) <= SnapDistance) at.x = work.left + shift;
        if (std::abs(work.right - r.right) <= SnapDistance) at.x = work.right - width + shift;
        if (std::abs(work.top - r.top) <= SnapDistance) at.y = work.top;
        if (std::abs(work.bottom - r.bottom) <= SnapDistance) at.y = work.bottom - height;
    }
    const PixelRect& desk = input.desk;
    if (r.top < desk.top) at.y = desk.top;
    if (r.bottom > desk.bottom) at.y = desk.bottom - height;
    if (r.left < desk.left) at.x = desk.left + shift;
    if (r.right > desk.right) at.x = desk.right - width + shift;
    return at;
}

}  // namespace velmora
