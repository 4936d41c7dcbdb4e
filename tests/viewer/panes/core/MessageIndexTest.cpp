#include "MessageIndex.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <vector>

namespace {

// A mapped-view stand-in: records back to back, each a length word, a
// direction word and a one-byte tag that the test recognises rows by.
struct FakeView {
    std::vector<unsigned char> bytes;
    std::deque<const unsigned char*> positions;

    explicit FakeView(const std::vector<uint32_t>& directions) {
        bytes.assign(80, 0); // header
        std::vector<size_t> offsets;
        for (size_t i = 0; i < directions.size(); ++i) {
            offsets.push_back(bytes.size());
            unsigned char rec[9];
            // Odd length on purpose: later records start at odd offsets.
            rec[0] = sizeof rec;
            std::memcpy(rec + 1, &directions[i], 4);
            rec[5] = static_cast<unsigned char>(i);
            rec[6] = rec[7] = rec[8] = 0;
            bytes.insert(bytes.end(), rec, rec + sizeof rec);
        }
        for (size_t off : offsets) {
            positions.push_back(bytes.data() + off);
        }
    }
};

uint32_t DirectionOf(const unsigned char* p) {
    uint32_t d;
    std::memcpy(&d, p + 1, 4);
    return d;
}

std::vector<int> Tags(const CMessageIndex& index) {
    std::vector<int> out;
    for (size_t r = 0; r < index.RowCount(); ++r) {
        out.push_back(index.RecordAt(r)[5]);
    }
    return out;
}

TEST(MessageIndex, FilterAndOrderGiveTheExpectedRows) {
    // 0 is sent; 1, 2 and 0xFFFFFFFF are all received.
    FakeView view({0, 1, 2, 0, 0xFFFFFFFFu, 0, 1});
    struct Case {
        int32_t filter;
        int32_t order;
        std::vector<int> rows;
    };
    const Case cases[] = {
        {kFilterAll, kOrderAscending, {0, 1, 2, 3, 4, 5, 6}},
        {kFilterAll, kOrderDescending, {6, 5, 4, 3, 2, 1, 0}},
        {kFilterSent, kOrderAscending, {0, 3, 5}},
        {kFilterSent, kOrderDescending, {5, 3, 0}},
        {kFilterReceived, kOrderAscending, {1, 2, 4, 6}},
        {kFilterReceived, kOrderDescending, {6, 4, 2, 1}},
        {0, kOrderAscending, {}},
        {kFilterAll, 7, {6, 5, 4, 3, 2, 1, 0}}, // any order but 1 reverses
    };
    for (const Case& c : cases) {
        CMessageIndex index;
        index.Build(view.positions, c.filter, c.order, DirectionOf);
        EXPECT_EQ(Tags(index), c.rows) << "filter " << c.filter << " order " << c.order;
    }
}

TEST(MessageIndex, RowsArePositionsInTheViewNotCopies) {
    FakeView view({1, 0, 1});
    CMessageIndex index;
    index.Build(view.positions, kFilterAll, kOrderAscending, DirectionOf);
    ASSERT_EQ(index.RowCount(), 3u);
    for (size_t r = 0; r < 3; ++r) {
        EXPECT_EQ(index.RecordAt(r), view.positions[r]);
    }
    index.Build(view.positions, kFilterAll, kOrderDescending, DirectionOf);
    EXPECT_EQ(index.RecordAt(0), view.positions[2]);
    EXPECT_EQ(index.RecordAt(2), view.positions[0]);
    // Filtered rows still point at their own records, not at neighbours.
    index.Build(view.positions, kFilterReceived, kOrderAscending, DirectionOf);
    ASSERT_EQ(index.RowCount(), 2u);
    EXPECT_EQ(index.RecordAt(0), view.positions[0]);
    EXPECT_EQ(index.RecordAt(1), view.positions[2]);
}

TEST(MessageIndex, NoRecordOutsideTheTableOrFromAnEmptyLog) {
    FakeView none({});
    FakeView some({0, 1});
    CMessageIndex index;
    index.Build(some.positions, kFilterAll, kOrderDescending, DirectionOf);
    ASSERT_EQ(index.RowCount(), 2u);
    EXPECT_EQ(index.RecordAt(2), nullptr);
    EXPECT_EQ(index.RecordAt(static_cast<size_t>(-1)), nullptr);
    // A build from nothing drops what the earlier one listed.
    index.Build(none.positions, kFilterAll, kOrderAscending, DirectionOf);
    EXPECT_EQ(index.RowCount(), 0u);
    EXPECT_EQ(index.RecordAt(0), nullptr);
}

TEST(MessageIndex, BuiltStraightFromAWalk) {
    FakeView view({2, 0, 0xFFFFFFFFu, 0});
    int walks = 0;
    auto walk = [&](auto&& visit) {
        ++walks;
        for (const unsigned char* p : view.positions) {
            visit(p, DirectionOf(p));
        }
    };
    CMessageIndex index;
    index.Build(walk, kFilterReceived, kOrderDescending);
    EXPECT_EQ(Tags(index), (std::vector<int>{2, 0}));
    EXPECT_EQ(walks, 2); // one to count, one to fill
    // A new build starts empty: nothing of the previous filter survives.
    index.Build(walk, kFilterSent, kOrderAscending);
    EXPECT_EQ(Tags(index), (std::vector<int>{1, 3}));
}

TEST(MessageIndex, RefilterWalksOnceWithTheCountsOfTheLastBuild) {
    FakeView view({0, 1, 2, 0, 0xFFFFFFFFu});
    FakeView other({1, 0});
    int walks = 0;
    const FakeView* walked = &view;
    auto walk = [&](auto&& visit) {
        ++walks;
        for (const unsigned char* p : walked->positions) {
            visit(p, DirectionOf(p));
        }
    };
    CMessageIndex index;
    // Without counts from a build it is a build.
    index.Refilter(walk, kFilterAll, kOrderAscending);
    EXPECT_EQ(walks, 2);
    const struct {
        int32_t filter;
        int32_t order;
        std::vector<int> rows;
    } steps[] = {{kFilterSent, kOrderAscending, {0, 3}},
                 {kFilterReceived, kOrderDescending, {4, 2, 1}},
                 {kFilterAll, kOrderAscending, {0, 1, 2, 3, 4}},
                 {0, kOrderAscending, {}}};
    for (const auto& step : steps) {
        walks = 0;
        index.Refilter(walk, step.filter, step.order);
        EXPECT_EQ(walks, 1) << step.filter;
        EXPECT_EQ(Tags(index), step.rows) << step.filter;
        EXPECT_LE(index.MemoryBytes(), CMessageIndex::kMaxBytesPerRow * step.rows.size());
    }
    // Released, the counts go too: another log is counted afresh.
    index.Release();
    walked = &other;
    walks = 0;
    index.Refilter(walk, kFilterAll, kOrderAscending);
    EXPECT_EQ(walks, 2);
    EXPECT_EQ(Tags(index), (std::vector<int>{0, 1}));
}

TEST(MessageIndex, RoomIsExactAndKeptOnlyWithinSixteenBytesARow) {
    std::vector<uint32_t> dirs;
    for (int i = 0; i < 10000; ++i) {
        dirs.push_back(i % 10 == 0 ? 0u : 1u); // a tenth sent
    }
    FakeView view(dirs);
    CMessageIndex index;
    struct Step {
        int32_t filter;
        size_t rows;
        size_t maxBytes;
    };
    const Step steps[] = {
        {kFilterAll, 10000, 4 * 10000},                // exact: four bytes a row
        {kFilterReceived, 9000, 4 * 10000},            // the room of 10000 is reused
        {kFilterSent, 1000, 4 * 1000},                 // 40000 bytes for 1000 rows is too much
        {kFilterAll, 10000, 4 * 10000},     {0, 0, 0}, // no rows, no room
    };
    for (const Step& step : steps) {
        index.Build(view.positions, step.filter, kOrderAscending, DirectionOf);
        EXPECT_EQ(index.RowCount(), step.rows) << step.filter;
        EXPECT_LE(index.MemoryBytes(), step.maxBytes) << step.filter;
        EXPECT_LE(index.MemoryBytes(), CMessageIndex::kMaxBytesPerRow * index.RowCount());
    }
    index.Build(view.positions, kFilterAll, kOrderAscending, DirectionOf);
    index.Clear();
    EXPECT_EQ(index.RowCount(), 0u);
    EXPECT_EQ(index.RecordAt(0), nullptr);
    index.Release();
    EXPECT_EQ(index.MemoryBytes(), 0u);
}

} // namespace
