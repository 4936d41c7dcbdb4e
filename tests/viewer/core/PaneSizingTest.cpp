#include "PaneSizing.h"

#include <gtest/gtest.h>

namespace {

struct WidthCase {
    int w0, w1;
    int expected;
};

TEST(FriendColumnWidth, SeventhOfTheWidthButAtLeast190) {
    const WidthCase cases[] = {
        {200, 793, 190},   // 993 / 7 = 141
        {200, 1130, 190},  // 1330 / 7 = 190: "190 or less" keeps 190
        {200, 1137, 191},  // 1337 / 7 = 191
        {300, 1800, 300},  // 2100 / 7
        {0, 0, 190},       // an empty frame still asks for 190
        {1337, 0, 191},    // only the sum counts
        {1000, 1006, 286}, // 2006 / 7 = 286.57, truncated
    };
    for (const WidthCase& c : cases) {
        std::optional<int> w = viewer::FriendColumnWidth(c.w0, c.w1);
        ASSERT_TRUE(w.has_value()) << c.w0 << "+" << c.w1;
        EXPECT_EQ(*w, c.expected) << c.w0 << "+" << c.w1;
    }
}

TEST(FriendColumnWidth, NegativeWidthLeavesTheColumnAlone) {
    EXPECT_FALSE(viewer::FriendColumnWidth(-1, 500).has_value());
    EXPECT_FALSE(viewer::FriendColumnWidth(500, -1).has_value());
    EXPECT_FALSE(viewer::FriendColumnWidth(-1, -1).has_value());
}

struct HeightCase {
    int h0, h1;
    int expected;
};

TEST(MessageRowHeight, FourFifthsLeavingAtLeast120ForTheContent) {
    const HeightCase cases[] = {
        {0, 500, 380},                // 500/5*4 = 400, but 500-120 = 380 is less
        {300, 300, 480},              // 600: 480 either way
        {500, 500, 800},              // 1000/5*4 = 800 < 880
        {50, 50, 0},                  // 100 is taken as 120: nothing left for the list
        {0, 0, 0},                    // likewise
        {0, 119, 0},     {0, 121, 1}, // 121 - 120 = 1 < 96
        {0, 603, 480},                // 603/5 = 120 (truncated first), *4 = 480 < 483
        {0, 599, 476},                // 599/5 = 119, *4 = 476 < 479
    };
    for (const HeightCase& c : cases) {
        std::optional<int> h = viewer::MessageRowHeight(c.h0, c.h1);
        ASSERT_TRUE(h.has_value()) << c.h0 << "+" << c.h1;
        EXPECT_EQ(*h, c.expected) << c.h0 << "+" << c.h1;
    }
}

TEST(MessageRowHeight, NegativeHeightLeavesTheRowAlone) {
    EXPECT_FALSE(viewer::MessageRowHeight(-1, 300).has_value());
    EXPECT_FALSE(viewer::MessageRowHeight(300, -1).has_value());
}

} // namespace
