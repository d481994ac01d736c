#pragma once
// Where the Time Zone page puts its rows, in pixels. No Windows here: the page measures the
// system and the font, this turns the measurements into rectangles.
#include <cstddef>

namespace velmora {

struct Box {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const Box&) const = default;
};

// What the page measures before laying anything out.
struct TimeZoneMeasurements {
    int vScrollWidth = 0;      // SM_CXVSCROLL
    int dialogFrameWidth = 0;  // SM_CXDLGFRAME
    int dialogFrameHeight = 0; // SM_CYDLGFRAME
    int edgeWidth = 0;         // SM_CXEDGE
    int menuCheckWidth = 0;    // SM_CXMENUCHECK
    int tabWidth = 0;          // the tab control's window rectangle
    int tabHeight = 0;
    double displayScale = 1.0; // screen DPI / 96
    int checkTextWidth = 0;    // "Show this clock" in the dialog font
    int checkTextHeight = 0;
    int comboHeight = 0;       // a drop-down list's window height in the dialog font
};

// The tab headers' height, also the top of the pages inside the tab control.
int TabHeaderHeight(double displayScale);

struct TimeZoneLayout {
    int margin = 0;
    int indent = 0;
    int contentWidth = 0;
    int contentHeight = 0;
    int textHeight = 0;
    int checkRight = 0;
    int comboHeight = 0;
    int rowHeight = 0;
    Box addHome;  // "Add" on a page without rows

    // From the top of one row to the top of the next.
    int Pitch() const { return rowHeight + margin; }
};

TimeZoneLayout ComputeTimeZoneLayout(const TimeZoneMeasurements& m);

// The rectangles of a row whose top is `top` (page coordinates), and of "Add" below it.
struct RowBoxes {
    Box groupBox;
    Box showCheck;
    Box zoneLabel;
    Box zoneList;
    Box nameLabel;
    Box nameBox;
    Box deleteButton;
    Box addButton;  // where "Add" goes when this is the last row
};
RowBoxes ComputeRowBoxes(const TimeZoneLayout& layout, int top);

// The top of the row at `index` while the page is scrolled to `scrollPosition`.
int RowTop(const TimeZoneLayout& layout, std::size_t index, int scrollPosition);

// The scroll range's maximum for `rows` rows: the rows, then "Add" with a margin above and
// below it.
int ScrollMaximum(const TimeZoneLayout& layout, std::size_t rows);

// Child windows cannot be placed beyond a 16-bit coordinate, and the page moves its rows by
// scrolling them: the scroll range stays below this.
inline constexpr int kMostScrollExtent = 30'000;
// How many rows the page can show, at most `rowNumbers`: the most whose scroll range stays
// within kMostScrollExtent.
std::size_t MostRowsShown(const TimeZoneLayout& layout, std::size_t rowNumbers);

}  // namespace velmora
