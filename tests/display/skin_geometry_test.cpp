// The clock faces' logical-to-device arithmetic and the world-clock column.
#include "display/skin_geometry.h"

#include <gtest/gtest.h>

#include <ostream>

#include "display/button_images.h"

namespace velmora {
namespace {

TEST(SkinGeometryTest, ButtonsScaleTheirCornerFirstAndMeasureTheirSizeFromIt) {
    struct Case {
        double scale;
        DeviceRect expected;
    } const cases[] = {
        {1.0, {11, 211, 121, 244}},
        {1.25, {13, 263, 150, 304}},
        {1.5, {16, 316, 181, 365}},
    };
    for (const Case& c : cases) EXPECT_EQ(ButtonDeviceRect(11, 211, 110, 33, c.scale), c.expected) << c.scale;
}

TEST(SkinGeometryTest, SurfacesAreTruncatedToWholePixels) {
    EXPECT_EQ(ScaledLength(258, 1.5), 387);
    EXPECT_EQ(ScaledLength(321, 1.5), 481);
    EXPECT_EQ(ScaledLength(153, 1.5), 229);
    EXPECT_EQ(ScaledLength(321, 1.25), 401);
}

TEST(SkinGeometryTest, TheArtworkDrawnNearestTheDisplayScaleIsTheOneUsed) {
    struct Case {
        double display, artwork;
    } const cases[] = {{1.0, 1.0}, {1.1, 1.0}, {1.25, 1.5}, {1.5, 1.5}, {1.75, 2.0}, {2.0, 2.0}, {2.5, 2.0},
                       {3.0, 2.0}, {0.5, 1.0}};
    for (const Case& c : cases) EXPECT_EQ(NearestArtworkScale(c.display), c.artwork) << c.display;
    EXPECT_EQ(ScaledArtworkId(222, 1.0), 222);
    EXPECT_EQ(ScaledArtworkId(222, 1.5), 1222);
    EXPECT_EQ(ScaledArtworkId(246, 2.0), 2246);
}

TEST(SkinGeometryTest, ARepaintCoversEveryPixelItsScaledEdgesTouch) {
    // The local band at 1.5: rows 64.5 to 154.5 reach pixel rows 64 to 154.
    EXPECT_EQ(CoveringDeviceRect(0, 43, 260, 60, 1.5, 387, 481), (DeviceRect{0, 64, 387, 155}));
    EXPECT_EQ(CoveringDeviceRect(7, 1, 154, 34, 1.0, 201, 153), (DeviceRect{7, 1, 161, 35}));
    // Outside the surface: nothing.
    const DeviceRect outside = CoveringDeviceRect(300, 400, 10, 10, 1.0, 258, 321);
    EXPECT_EQ(outside.left, outside.right);
    EXPECT_EQ(outside.top, outside.bottom);
}

TEST(SkinGeometryTest, EnabledWorldClocksArePackedFromTheTopInListOrder) {
    struct Case {
        std::vector<bool> enabled;
        std::vector<int> rowTops;
        std::vector<int> clocks;
        int totalHeight;
        int shadowTop;
    } const cases[] = {
        {{true}, {0}, {0}, 160, 135},
        {{true, true, true}, {0, 150, 300}, {0, 1, 2}, 460, 435},
        {{true, false, true}, {0, 150}, {0, 2}, 310, 285},
        {{false, false, true}, {0}, {2}, 160, 135},
        {{false}, {}, {}, 10, -15},
        {{}, {}, {}, 10, -15},
    };
    for (const Case& c : cases) {
        const WorldClockLayout layout = LayOutWorldClocks(c.enabled);
        EXPECT_EQ(layout.rowTops, c.rowTops);
        EXPECT_EQ(layout.clocks, c.clocks);
        EXPECT_EQ(layout.totalHeight, c.totalHeight);
        EXPECT_EQ(layout.shadowTop, c.shadowTop);
    }
}

// ---------------------------------------------------------------------------------------
// World clocks on a work area

struct Grid {
    int columns, rows, shown, width, height;
    bool operator==(const Grid&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Grid& g) {
    return out << g.columns << " x " << g.rows << ", " << g.shown << " shown, " << g.width << " x " << g.height;
}
Grid GridOf(const WorldPanelGrid& g) { return {g.columns, g.rows, g.shown, g.width, g.height}; }

TEST(WorldPanelGridTest, OneColumnWhileItFitsTheWorkAreaThenFurtherColumnsSharedEvenly) {
    struct Case {
        int panels;
        WorkArea area;
        Grid expected;
        const char* what;
    } const cases[] = {
        {3, {1280, 800, 1.0}, {1, 3, 3, 258, 460}, "the column as ever"},
        {5, {1280, 760, 1.0}, {1, 5, 5, 258, 760}, "exactly the work area's height"},
        {5, {1280, 759, 1.0}, {2, 3, 5, 531, 460}, "one pixel short: two columns"},
        {6, {1280, 800, 1.0}, {2, 3, 6, 531, 460}, "six on an 800-pixel screen"},
        {6, {1024, 768, 1.0}, {2, 3, 6, 531, 460}, ""},
        {11, {1280, 800, 1.0}, {3, 4, 11, 804, 610}, "four, four and three"},
        {3, {1280, 800, 1.5}, {1, 3, 3, 258, 460}, "690 pixels at 144 DPI"},
        {4, {1280, 800, 1.5}, {2, 2, 4, 531, 310}, ""},
        {6, {1280, 800, 1.5}, {2, 3, 6, 531, 460}, "two columns of 690 pixels"},
        {6, {1920, 720, 2.0}, {3, 2, 6, 804, 310}, "at 192 DPI"},
        {6, {1280, 720, 2.0}, {2, 2, 4, 531, 310}, "at 192 DPI on a small screen: what it holds"},
        {0, {1280, 800, 1.0}, {1, 0, 0, 258, 10}, "no clock: the lower part of the shadow"},
        {1, {100, 100, 1.0}, {1, 1, 1, 258, 160}, "a screen smaller than a panel still shows one"},
    };
    for (const Case& c : cases) {
        const WorldPanelGrid grid = LayOutWorldPanels(c.panels, c.area);
        EXPECT_EQ(GridOf(grid), c.expected) << c.panels << " panels, " << c.what;
        // Whatever it holds fits the work area, device pixels as the surface has them.
        if (c.area.width >= 258 && c.area.height >= 160) {
            EXPECT_LE(ScaledLength(grid.width, c.area.scale), c.area.width) << c.what;
            EXPECT_LE(ScaledLength(grid.height, c.area.scale), c.area.height) << c.what;
        }
    }
}

TEST(WorldPanelGridTest, PanelsRunDownEachColumnAndEachColumnHasItsShadow) {
    const WorldPanelGrid grid = LayOutWorldPanels(5, {1280, 500, 1.0});  // three rows fit
    ASSERT_EQ(GridOf(grid), (Grid{2, 3, 5, 531, 460}));
    const LogicalPoint panels[] = {{0, 0}, {0, 150}, {0, 300}, {273, 0}, {273, 150}};
    for (int k = 0; k < 5; ++k) EXPECT_EQ(grid.Panel(k), panels[k]) << k;
    EXPECT_EQ(grid.Shadow(0), (LogicalPoint{0, 435}));
    EXPECT_EQ(grid.Shadow(1), (LogicalPoint{273, 285})) << "under the shorter column's last panel";
}

TEST(WorldPanelGridTest, ALongListNeverOutgrowsTheScreen) {
    // Thousands of clocks: what the work area holds is shown, whole; the rest is left out,
    // and the face stays far inside the system's surface limit.
    for (const WorkArea area : {WorkArea{1280, 800, 1.0}, WorkArea{3840, 2160, 1.5}, WorkArea{800, 600, 1.0}}) {
        for (const int panels : {100, 5000, 1 << 24}) {
            const WorldPanelGrid grid = LayOutWorldPanels(panels, area);
            EXPECT_LT(grid.shown, panels);
            EXPECT_EQ(grid.shown, grid.columns * grid.rows);
            EXPECT_LE(ScaledLength(grid.width, area.scale), area.width);
            EXPECT_LE(ScaledLength(grid.height, area.scale), area.height);
            EXPECT_LE(ScaledLength(grid.height, area.scale), 32767);
        }
    }
    EXPECT_EQ(LayOutWorldPanels(1000, {1280, 800, 1.0}).shown, 20) << "four columns of five";
}

TEST(WorldPanelGridTest, TheClocksOfAListFillThePanelsInListOrder) {
    const std::vector<bool> enabled = {true, false, true, true, true, false, true, true, true};
    const WorldClockLayout layout = LayOutWorldClocks(enabled, {1280, 800, 1.0});
    EXPECT_EQ(layout.clocks, (std::vector<int>{0, 2, 3, 4, 6, 7, 8}));
    EXPECT_EQ(layout.panelLefts, (std::vector<int>{0, 0, 0, 0, 273, 273, 273}));
    EXPECT_EQ(layout.rowTops, (std::vector<int>{0, 150, 300, 450, 0, 150, 300}));
    EXPECT_EQ(layout.totalWidth, 531);
    EXPECT_EQ(layout.totalHeight, 610);
    EXPECT_EQ(layout.shadows, (std::vector<LogicalPoint>{{0, 585}, {273, 435}}));
    EXPECT_EQ(layout.omitted, 0);
    EXPECT_EQ(LayOutWorldClocks(std::vector<bool>(30, true), {1280, 800, 1.0}).omitted, 10);
}

TEST(SkinGeometryTest, OnlyTheImageButtonsHaveImagesAndOnlyInThreeLooks) {
    EXPECT_EQ(ButtonImageFor(1043, Normal), 234);
    EXPECT_EQ(ButtonImageFor(1043, Hover), 233);
    EXPECT_EQ(ButtonImageFor(1043, Pressed), 235);
    EXPECT_EQ(ButtonImageFor(1065, Pressed), 246);
    EXPECT_EQ(ButtonImageFor(1048, Normal), 0) << "a text button";
    EXPECT_EQ(ButtonImageFor(1043, 3), 0);
    EXPECT_EQ(ButtonImageFor(1043, -1), 0);
}

}  // namespace
}  // namespace velmora
