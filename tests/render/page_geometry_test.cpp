// Page geometry of the device instance for the rolls, orientations and duplex settings.
#include <gtest/gtest.h>

#include "page_geometry.h"

namespace {

TEST(PageGeometry, EightyMillimetrePortraitSingleSide) {
    PAGE_GEOMETRY g = ComputePageGeometry(1, 800, 500, 1);
    EXPECT_EQ(g.physicalSize.cx, 640);
    EXPECT_EQ(g.physicalSize.cy, 400);
    EXPECT_EQ(g.physicalOffset.x, 32);
    EXPECT_EQ(g.physicalOffset.y, 140);
    EXPECT_EQ(g.printableSize.cx, 576);
    EXPECT_EQ(g.printableSize.cy, 220);
    EXPECT_EQ(g.printableSizeMm.cx, 72);
    EXPECT_EQ(g.printableSizeMm.cy, 27);
}

TEST(PageGeometry, DualSideLeavesTheLongerFeedMargin) {
    PAGE_GEOMETRY g = ComputePageGeometry(1, 800, 500, 2);
    EXPECT_EQ(g.feedMargin, 228);
    EXPECT_EQ(g.printableSize.cy, 32);
    EXPECT_EQ(g.printableSizeMm.cy, 4);
}

TEST(PageGeometry, FiftyEightMillimetrePortrait) {
    PAGE_GEOMETRY g = ComputePageGeometry(1, 580, 2720, 1);
    EXPECT_EQ(g.physicalSize.cx, 464);
    EXPECT_EQ(g.physicalSize.cy, 2176);
    EXPECT_EQ(g.physicalOffset.x, 16);
    EXPECT_EQ(g.physicalOffset.y, 140);
    EXPECT_EQ(g.printableSize.cx, 432);
    EXPECT_EQ(g.printableSize.cy, 1996);
    EXPECT_EQ(g.printableSizeMm.cx, 54);
    EXPECT_EQ(g.printableSizeMm.cy, 249);
}

TEST(PageGeometry, LandscapeTakesTheRollFromTheLength) {
    // The working record holds a landscape 800 x 2000 page exchanged: width 2000, length 800.
    PAGE_GEOMETRY g = ComputePageGeometry(2, 2000, 800, 1);
    EXPECT_EQ(g.physicalSize.cx, 1600);
    EXPECT_EQ(g.physicalSize.cy, 640);
    EXPECT_EQ(g.physicalOffset.x, 40);
    EXPECT_EQ(g.physicalOffset.y, 32);
    EXPECT_EQ(g.printableSize.cx, 1420);
    EXPECT_EQ(g.printableSize.cy, 576);
    EXPECT_EQ(RollClassOf(RollWidth(2, 2000, 800)), ROLL_80MM);
}

TEST(PageGeometry, OtherRollWidthsHaveNoSideMargins) {
    PAGE_GEOMETRY g = ComputePageGeometry(1, 2100, 2970, 1);
    EXPECT_EQ(g.rollMargin, 0);
    EXPECT_EQ(g.printableSize.cx, 1680);
    EXPECT_EQ(RollClassOf(2100), ROLL_NONE);
    EXPECT_EQ(RollClassOf(580), ROLL_58MM);
}

TEST(PageGeometry, UnknownDuplexHasNoFeedMargin) {
    EXPECT_EQ(ComputePageGeometry(1, 800, 500, 3).feedMargin, 0);
    EXPECT_EQ(ComputePageGeometry(1, 800, 500, 3).printableSize.cy, 260);
}

TEST(PageGeometry, TooShortAPageHasNoPrintableHeight) {
    PAGE_GEOMETRY g = ComputePageGeometry(1, 800, 200, 1);
    EXPECT_EQ(g.printableSize.cy, -20);
    EXPECT_EQ(g.printableSizeMm.cy, -2); // truncated toward zero
    EXPECT_FALSE(SurfaceSizeAcceptable(g.printableSize.cx, g.printableSize.cy));
}

TEST(PageGeometry, LongestDeviceModeSizesDoNotWrap) {
    PAGE_GEOMETRY g = ComputePageGeometry(1, 800, 32767, 1);
    EXPECT_EQ(g.physicalSize.cy, 26213);
    EXPECT_EQ(g.printableSize.cy, 26033);
    // The roll is narrow enough for the longest page to be taken on ...
    EXPECT_TRUE(SurfaceSizeAcceptable(576, 26033));
    // ... a sheet as wide as it is long is not.
    PAGE_GEOMETRY huge = ComputePageGeometry(1, 32767, 32767, 1);
    EXPECT_FALSE(SurfaceSizeAcceptable(huge.printableSize.cx, huge.printableSize.cy));
    EXPECT_FALSE(SurfaceSizeAcceptable(MAX_PAGE_DOTS + 1, 1));
}

} // namespace
