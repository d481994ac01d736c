#include "settings_dialog/time_zone_layout.h"

#include <algorithm>

namespace velmora {

namespace {

// Products in double precision, truncated toward zero.
int Trunc(double value) { return static_cast<int>(value); }

}  // namespace

int TabHeaderHeight(double displayScale) { return Trunc(22.0 * displayScale); }

TimeZoneLayout ComputeTimeZoneLayout(const TimeZoneMeasurements& m) {
    TimeZoneLayout l;
    l.margin = m.vScrollWidth;
    l.indent = Trunc(2.5 * l.margin);
    l.contentWidth = m.tabWidth - 2 * m.dialogFrameWidth - m.vScrollWidth;
    l.contentHeight = Trunc(m.tabHeight - 2 * m.dialogFrameHeight - 22.0 * m.displayScale);
    l.textHeight = m.checkTextHeight;
    l.checkRight = Trunc(1.6 * l.margin + (2 * m.edgeWidth + m.menuCheckWidth + m.checkTextWidth));
    l.comboHeight = m.comboHeight;
    l.rowHeight = 3 * l.margin + 3 * l.textHeight + 2 * l.comboHeight;

    const int halfWidth = Trunc(0.2 * l.contentWidth - l.margin) / 2;
    l.addHome = Box{l.contentWidth / 2 - halfWidth, l.contentHeight / 2 - l.margin, l.contentWidth / 2 + halfWidth,
                    l.contentHeight / 2 + l.margin};
    return l;
}

RowBoxes ComputeRowBoxes(const TimeZoneLayout& l, int top) {
    const int m = l.margin;
    const int right = l.contentWidth - 2 * m;
    RowBoxes r;
    r.groupBox = Box{m, top, l.contentWidth - m, top + l.rowHeight};
    r.showCheck = Box{Trunc(1.6 * m), top, l.checkRight, top + l.textHeight};
    const int y1 = top + l.textHeight + m / 2;
    r.zoneLabel = Box{l.indent, y1, right, y1 + l.textHeight};
    const int y2 = y1 + l.textHeight + m / 2;
    r.zoneList = Box{l.indent, y2, right, y2 + l.comboHeight};
    const int y3 = y2 + l.comboHeight + m / 2;
    r.nameLabel = Box{l.indent, y3, right, y3 + l.textHeight};
    const int y4 = y3 + l.textHeight + m / 2;
    r.nameBox = Box{l.indent, y4, Trunc(0.7 * l.contentWidth - 2 * m), y4 + l.comboHeight};
    r.deleteButton = Box{Trunc(0.7 * l.contentWidth), y4, right, y4 + l.comboHeight};
    const int addLeft = Trunc(0.8 * l.contentWidth);
    const int addTop = y4 + l.comboHeight + 2 * m;
    r.addButton = Box{addLeft, addTop, addLeft + Trunc(0.2 * l.contentWidth - m), addTop + l.comboHeight};
    return r;
}

int RowTop(const TimeZoneLayout& l, std::size_t index, int scrollPosition) {
    return l.margin + static_cast<int>(index) * l.Pitch() - scrollPosition;
}

int ScrollMaximum(const TimeZoneLayout& l, std::size_t rows) {
    return static_cast<int>(rows) * l.Pitch() + 2 * l.margin + l.comboHeight;
}

std::size_t MostRowsShown(const TimeZoneLayout& l, std::size_t rowNumbers) {
    const int room = kMostScrollExtent - (2 * l.margin + l.comboHeight);
    if (room <= 0 || l.Pitch() <= 0) return 0;
    return std::min(rowNumbers, static_cast<std::size_t>(room / l.Pitch()));
}

}  // namespace velmora
