// Where a clock window lands when it is dragged or placed near the work area's edges.
#include "display/window_snap.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

constexpr PixelRect kScreen{0, 0, 1280, 800};
constexpr PixelRect kWork{0, 0, 1280, 760};  // a taskbar along the bottom

struct FullAt {
    PixelPoint proposed;
    PixelPoint expected;
    const char* why;
};

// The full window at 96 DPI: 258 x 321, of which 258 x 296 count (the shadow hangs below).
TEST(WindowSnapTest, TheFullWindowSnapsWithinFifteenPixelsOfAnEdge) {
    const FullAt cases[] = {
        {{15, 300}, {0, 300}, "15 from the left edge snaps"},
        {{16, 300}, {16, 300}, "16 from the left edge does not"},
        {{1280 - 258 - 15, 300}, {1022, 300}, "15 from the right edge snaps"},
        {{1280 - 258 - 16, 300}, {1006, 300}, "16 from the right edge does not"},
        {{500, 15}, {500, 0}, "15 below the top snaps"},
        {{500, 16}, {500, 16}, "16 below the top does not"},
        {{500, 760 - 296 - 10}, {500, 464}, "the visible bottom, not the shadow, goes onto the work area's bottom"},
        {{500, 760 - 296 - 16}, {500, 448}, "16 above the bottom does not snap"},
        {{500, 760 - 296 + 15}, {500, 464}, "15 below the work area's bottom snaps back up"},
        {{500, -40}, {500, 0}, "partly above the desktop: back at its top"},
        {{-100, 300}, {0, 300}, "partly off the left: back on the desktop"},
        {{1200, 300}, {1022, 300}, "partly off the right: back on the desktop"},
        {{500, 700}, {500, 504}, "below the desktop: its visible bottom on the desktop's"},
    };
    for (const FullAt& c : cases) {
        SnapInput input;
        input.proposed = c.proposed;
        input.clientWidth = 258;
        input.clientHeight = 321;
        input.work = kWork;
        input.desk = kScreen;
        EXPECT_EQ(SnapWindowPosition(input), c.expected) << c.why;
    }
}

TEST(WindowSnapTest, TheCompactWindowSnapsByItsStripAndShiftsSixPixelsLeft) {
    SnapInput input;
    input.clientWidth = 201;
    input.clientHeight = 153;
    input.compact = true;
    input.work = kWork;
    input.desk = kScreen;

    const VisibleArea area = VisibleAreaOf(201, 153, true, 1.0);
    EXPECT_EQ(area.rect.left, 5);
    EXPECT_EQ(area.rect.right - area.rect.left, 191);
    EXPECT_EQ(area.rect.bottom - area.rect.top, 36);

    input.proposed = {10, 300};  // the strip 15 from the left edge
    EXPECT_EQ(SnapWindowPosition(input), (PixelPoint{-6, 300}));
    input.proposed = {11, 300};
    EXPECT_EQ(SnapWindowPosition(input), (PixelPoint{11, 300}));
    input.proposed = {1280 - 196 - 15, 300};  // the strip 15 from the right edge
    EXPECT_EQ(SnapWindowPosition(input), (PixelPoint{1280 - 191 - 6, 300}));
    // The menu rows below the strip may hang off the work area's bottom.
    input.proposed = {500, 760 - 36 - 5};
    EXPECT_EQ(SnapWindowPosition(input), (PixelPoint{500, 724}));
}

TEST(WindowSnapTest, AtOneAndAHalfTheInsetsScaleButTheSnapDistanceDoesNot) {
    const VisibleArea full = VisibleAreaOf(387, 481, false, 1.5);
    EXPECT_EQ(full.rect.bottom, 481 - 37);
    const VisibleArea compact = VisibleAreaOf(301, 229, true, 1.5);
    EXPECT_EQ(compact.rect.left, 7);
    EXPECT_EQ(compact.rect.right, 301 - 7);
    EXPECT_EQ(compact.rect.bottom, 229 - 175);
    EXPECT_EQ(compact.shift, -9);

    SnapInput input;
    input.clientWidth = 387;
    input.clientHeight = 481;
    input.scale = 1.5;
    input.work = kWork;
    input.desk = kScreen;
    input.proposed = {16, 300};
    EXPECT_EQ(SnapWindowPosition(input).x, 16);
    input.proposed = {15, 300};
    EXPECT_EQ(SnapWindowPosition(input).x, 0);
}

TEST(WindowSnapTest, WithoutAWorkAreaNothingSnapsButTheDesktopStillHolds) {
    SnapInput input;
    input.clientWidth = 258;
    input.clientHeight = 321;
    input.desk = kScreen;
    input.proposed = {5, 5};
    EXPECT_EQ(SnapWindowPosition(input), (PixelPoint{5, 5}));
    input.proposed = {-5, -5};
    EXPECT_EQ(SnapWindowPosition(input), (PixelPoint{0, 0}));
}

TEST(WindowSnapTest, AWorkAreaOnASecondMonitorIsSnappedToLikeAnyOther) {
    SnapInput input;
    input.clientWidth = 258;
    input.clientHeight = 321;
    input.work = PixelRect{1280, 40, 2560, 1024};  // a taskbar along the top
    input.desk = PixelRect{0, 0, 2560, 1024};
    input.proposed = {1290, 50};
    EXPECT_EQ(SnapWindowPosition(input), (PixelPoint{1280, 40}));
}

}  // namespace
}  // namespace velmora
