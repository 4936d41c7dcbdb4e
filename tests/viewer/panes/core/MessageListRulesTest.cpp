#include "MessageListRules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <ctime>

namespace {

TEST(FilterKeeps, EveryNonzeroDirectionCountsAsReceived) {
    struct Case {
        int32_t filter;
        uint32_t direction;
        bool kept;
    };
    const Case cases[] = {
        {kFilterAll, 0, true},
        {kFilterAll, 1, true},
        {kFilterAll, 2, true},
        {kFilterAll, 0xFFFFFFFFu, true},
        {kFilterSent, 0, true},
        {kFilterSent, 1, false},
        {kFilterSent, 2, false},
        {kFilterSent, 0xFFFFFFFFu, false},
        {kFilterSent, 0x80000000u, false},
        {kFilterReceived, 0, false},
        {kFilterReceived, 1, true},
        {kFilterReceived, 2, true},
        {kFilterReceived, 0xFFFFFFFFu, true},
        {0, 0, false},
        {0, 1, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(viewer::FilterKeeps(c.filter, c.direction), c.kept)
            << "filter " << c.filter << " direction " << c.direction;
    }
}

TEST(FilterFromComboIndex, OnlyTheThreeEntriesGiveAFilter) {
    struct Case {
        int index;
        bool ok;
        int32_t filter;
    };
    const Case cases[] = {{0, true, 3},    {1, true, 1},   {2, true, 2},
                          {-1, false, 99}, {3, false, 99}, {INT_MAX, false, 99}};
    for (const Case& c : cases) {
        int32_t filter = 99;
        EXPECT_EQ(viewer::FilterFromComboIndex(c.index, &filter), c.ok) << c.index;
        EXPECT_EQ(filter, c.filter) << c.index;
    }
}

// The test program runs with TZ=CST-8 (a fixed UTC+8 without summer time).
TEST(RecordTimeCells, LocalTimeWithZeroPadding) {
    struct Case {
        int32_t time;
        const char* date;
        const char* clock;
    };
    const Case cases[] = {
        {0, "1970-01-01", "08:00:00"},
        {1234567890, "2009-02-14", "07:31:30"}, // 23:31:30 UTC the day before
        {946655999, "1999-12-31", "23:59:59"},  // 15:59:59 UTC
        {946656000, "2000-01-01", "00:00:00"},
        {INT32_MAX, "2038-01-19", "11:14:07"},
        {1709222400, "2024-03-01", "00:00:00"}, // the day after 29 February
        {1709222399, "2024-02-29", "23:59:59"},
    };
    for (const Case& c : cases) {
        char date[kTimeCellSize];
        char clock[kTimeCellSize];
        viewer::FormatRecordDate(c.time, date);
        viewer::FormatRecordTime(c.time, clock);
        EXPECT_STREQ(date, c.date) << c.time;
        EXPECT_STREQ(clock, c.clock) << c.time;
    }
}

bool RefuseEverything(int64_t, struct tm*) {
    return false;
}

TEST(RecordTimeCells, UnconvertibleTimeGivesEmptyCells) {
    char date[kTimeCellSize];
    char clock[kTimeCellSize];
    for (int32_t t : {0, -1, INT32_MIN, INT32_MAX}) {
        std::fill(date, date + kTimeCellSize, 'x');
        std::fill(clock, clock + kTimeCellSize, 'x');
        viewer::FormatRecordDate(t, date, RefuseEverything);
        viewer::FormatRecordTime(t, clock, RefuseEverything);
        EXPECT_STREQ(date, "") << t;
        EXPECT_STREQ(clock, "") << t;
    }
}

TEST(MessageListLayout, StripUnderTheTable) {
    struct Case {
        int w, h, asc, desc, fixed;
        int tableH, ascX, ascY, descX, descY, comboX, comboY;
    };
    const Case cases[] = {
        // w    h   asc desc fixed  tableH ascX ascY descX descY comboX comboY
        {600, 400, 60, 60, 300, 378, 10, 383, 80, 383, 150, 380},
        {600, 23, 60, 60, 300, 1, 10, 6, 80, 6, 150, 3},
        {600, 22, 60, 60, 300, 0, 10, 5, 80, 5, 150, 2},
        {600, 10, 60, 60, 300, 0, 10, 5, 80, 5, 150, 2},
        {600, 0, 60, 60, 300, 0, 10, 5, 80, 5, 150, 2},
        {100, 300, 48, 52, 300, 278, 10, 283, 68, 283, 130, 280},
    };
    for (const Case& c : cases) {
        MessageListLayout l = viewer::ComputeMessageListLayout(c.w, c.h, c.asc, c.desc, c.fixed);
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
        EXPECT_EQ(l.tableWidth, c.w);
        EXPECT_EQ(l.tableHeight, c.tableH);
        EXPECT_EQ(l.ascX, c.ascX);
        EXPECT_EQ(l.ascY, c.ascY);
        EXPECT_EQ(l.descX, c.descX);
        EXPECT_EQ(l.descY, c.descY);
        EXPECT_EQ(l.comboX, c.comboX);
        EXPECT_EQ(l.comboY, c.comboY);
    }
}

TEST(MessageListLayout, ContentColumnFitsOnlyWhenRoomIsLeft) {
    struct Case {
        int width, fixed;
        bool fit;
        int content;
    };
    const Case cases[] = {
        {800, 300, true, 484}, {317, 300, true, 1}, {316, 300, false, 0},
        {300, 300, false, 0},  {0, 300, false, 0},  {200, 0, true, 184},
    };
    for (const Case& c : cases) {
        MessageListLayout l = viewer::ComputeMessageListLayout(c.width, 300, 50, 50, c.fixed);
        EXPECT_EQ(l.fitContent, c.fit) << c.width << " " << c.fixed;
        if (c.fit) {
            EXPECT_EQ(l.contentWidth, c.content) << c.width << " " << c.fixed;
        }
    }
}

} // namespace
