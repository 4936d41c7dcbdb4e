#include "SplitterLayout.h"

#include <gtest/gtest.h>

namespace {

struct LayoutCase {
    const char* what;
    std::vector<SplitterTrack> tracks;
    int total;
    std::vector<int> expected;
};

TEST(LayoutSplitterTracks, IdealWhileRoomLastsAndTheLastTakesTheRest) {
    const int bar = 6;
    const LayoutCase cases[] = {
        {"two columns", {{200, 10}, {0, 10}}, 1000, {200, 794}},
        {"last ignores its ideal", {{200, 10}, {5000, 10}}, 1000, {200, 794}},
        {"below its minimum: hidden", {{5, 10}, {0, 10}}, 1000, {0, 994}},
        {"zero ideal, zero minimum: zero", {{0, 0}, {0, 10}}, 100, {0, 94}},
        // The bar stays inside, so sizes and bar still add up to the total.
        {"ideal larger than the room", {{1200, 10}, {0, 10}}, 1000, {994, 0}},
        {"room for the first but not the bar", {{998, 10}, {0, 10}}, 1000, {994, 0}},
        {"middle track cut short", {{100, 10}, {900, 10}, {0, 10}}, 300, {100, 188, 0}},
        {"three rows", {{100, 10}, {50, 10}, {0, 10}}, 300, {100, 50, 138}},
        {"a single track takes all", {{10, 10}}, 300, {300}},
        {"no room at all", {{200, 10}, {0, 10}}, 0, {0, 0}},
        {"negative room counts as none", {{200, 10}, {0, 10}}, -5, {0, 0}},
    };
    for (const LayoutCase& c : cases)
        EXPECT_EQ(LayoutSplitterTracks(c.tracks, c.total, bar), c.expected) << c.what;
}

TEST(SplitterTrackStarts, EachAfterThePreviousAndItsBar) {
    EXPECT_EQ(SplitterTrackStarts({200, 794}, 6), (std::vector<int>{0, 206}));
    EXPECT_EQ(SplitterTrackStarts({100, 50, 138}, 6), (std::vector<int>{0, 106, 162}));
    EXPECT_EQ(SplitterTrackStarts({0, 94}, 6), (std::vector<int>{0, 6}));
}

TEST(SplitterBarAt, FindsTheBarBetweenTracks) {
    const std::vector<int> sizes = {100, 50, 138};
    struct {
        int position;
        int bar;
    } cases[] = {{99, -1}, {100, 0}, {105, 0},  {106, -1}, {155, -1},
                 {156, 1}, {161, 1}, {162, -1}, {299, -1}, {-3, -1}};
    for (auto c : cases)
        EXPECT_EQ(SplitterBarAt(sizes, 6, c.position), c.bar) << c.position;
}

} // namespace
