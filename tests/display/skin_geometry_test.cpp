// The clock faces' logical-to-device arithmetic and the world-clock column.
#include "display/skin_geometry.h"

#include <gtest/gtest.h>

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
