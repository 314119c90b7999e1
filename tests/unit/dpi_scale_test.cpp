// The 96-dpi layout scaled to a screen's DPI: exact at 96, rounded like MulDiv elsewhere, and no
// overlap that was not there at 96.
#include "platform/dpi_scale.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

TEST(DpiScale, ValuesRoundToTheNearestPixelHalvesAwayFromZero) {
    const struct {
        int value, dpi, expected;
    } cases[] = {
        {405, 96, 405},   {405, 120, 506},  {405, 144, 608},       {405, 192, 810},   {25, 120, 31},
        {-12, 144, -18},  {-13, 144, -20},  {1, 144, 2},           {-1, 144, -2},     {0, 192, 0},
        {14, 0, 14},      {14, -5, 14},     {INT_MAX, 192, INT_MAX}, {INT_MIN, 192, INT_MIN}, {INT_MAX, 96, INT_MAX},
    };
    for (const auto& c : cases) EXPECT_EQ(ScaleForDpi(c.value, c.dpi), c.expected) << c.value << " at " << c.dpi;
}

TEST(DpiScale, BoxesScaleByTheirEdgesSoNeighboursStayApart) {
    const LayoutBox label = {10, 62, 114, 20}, field = {125, 62, 95, 20};
    EXPECT_EQ(ScaleBox(label, 96), label);
    EXPECT_EQ(ScaleBox(field, 144), (LayoutBox{188, 93, 142, 30}));
    // 115 wide ends at 125 where the next one starts: scaling the width alone would give 144 and
    // an overlap of one pixel at 125 %.
    const LayoutBox wide = {10, 0, 115, 20}, next = {125, 0, 20, 20};
    const LayoutBox a = ScaleBox(wide, 120), b = ScaleBox(next, 120);
    EXPECT_EQ(a.x + a.width, b.x);
    EXPECT_FALSE(BoxesOverlap(a, b));
}

TEST(DpiScale, OverlapsAreThoseScalingAdded) {
    EXPECT_TRUE(BoxesOverlap({0, 0, 10, 10}, {9, 9, 5, 5}));
    EXPECT_FALSE(BoxesOverlap({0, 0, 10, 10}, {10, 0, 5, 5}));  // touching is not overlapping
    EXPECT_FALSE(BoxesOverlap({0, 0, 0, 10}, {0, 0, 5, 5}));    // an empty box covers nothing
    // A drop-down list's box covers the rows below at 96 dpi already: that is no new overlap.
    const std::vector<LayoutBox> rows = {
        {340, 87, 40, 450}, {230, 113, 150, 20}, {10, 113, 210, 20}, {10, 139, 210, 20}, {230, 138, 150, 20},
        {10, 265, 20, 20},  {35, 265, 60, 20},   {99, 265, 60, 20},  {162, 265, 65, 20}, {230, 265, 20, 245},
    };
    for (int dpi : {96, 120, 144, 192}) EXPECT_TRUE(OverlapsAddedAt(rows, dpi).empty()) << dpi;
}
