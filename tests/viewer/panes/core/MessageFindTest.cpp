#include "MessageFind.h"

#include "ChatLogWriter.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using viewer::kNoRow;

// The search core's contract over listed indexes, on a list of which
// records match.
struct ListedMatches {
    std::vector<bool> matches;
    size_t operator()(size_t from, bool forward) const {
        const size_t n = matches.size();
        if (forward) {
            for (size_t i = from == kNoRow ? 0 : from + 1; i < n; ++i) {
                if (matches[i]) {
                    return i;
                }
            }
        } else {
            for (size_t i = from == kNoRow ? n : from; i-- > 0;) {
                if (matches[i]) {
                    return i;
                }
            }
        }
        return kNoRow;
    }
};

TEST(MessageFind, FindLandsOnTheNextShownRowInEitherOrder) {
    // Listed records 1 and 3 of five match: shown rows 1 and 3 ascending,
    // rows 3 and 1 descending (row r shows record 4 - r).
    const ListedMatches listed{{false, true, false, true, false}};
    struct Case {
        int32_t order;
        size_t selected;
        bool down;
        size_t row;
    };
    const Case cases[] = {
        {kOrderAscending, kNoRow, true, 1},   {kOrderAscending, kNoRow, false, 3},
        {kOrderAscending, 1, true, 3},        {kOrderAscending, 3, true, kNoRow},
        {kOrderAscending, 1, false, kNoRow},  {kOrderAscending, 4, false, 3},
        {kOrderAscending, 2, false, 1},       {kOrderAscending, 99, true, 1},
        {kOrderDescending, kNoRow, true, 1},  {kOrderDescending, kNoRow, false, 3},
        {kOrderDescending, 0, true, 1},       {kOrderDescending, 1, true, 3},
        {kOrderDescending, 3, true, kNoRow},  {kOrderDescending, 3, false, 1},
        {kOrderDescending, 1, false, kNoRow}, {kOrderDescending, 4, false, 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(viewer::FindShownRow(c.selected, 5, c.order, c.down, listed), c.row)
            << "order " << c.order << " selected " << c.selected << " down " << c.down;
    }
    const ListedMatches none{{}};
    EXPECT_EQ(viewer::FindShownRow(kNoRow, 0, kOrderAscending, true, none), kNoRow);
}

TEST(MessageFind, ARowLandedOnStandsInTheMiddleWhereTheTableScrollsThatFar) {
    const struct {
        size_t row, perPage, count, top;
    } cases[] = {
        {500, 21, 1000, 490}, {500, 20, 1000, 491}, {3, 21, 1000, 0}, {997, 21, 1000, 979},
        {10, 21, 15, 0},      {0, 0, 0, 0},         {7, 1, 10, 7},    {999, 21, 1000, 979},
    };
    for (const auto& c : cases)
        EXPECT_EQ(viewer::CenteredTopRow(c.row, c.perPage, c.count), c.top)
            << c.row << " " << c.perPage << " " << c.count;
}

TEST(MessageFind, DateSelectsTheFirstRowOfTheDayElseTheNearest) {
    struct Case {
        std::vector<int64_t> times; // shown order
        int64_t dayStart, dayEnd;
        size_t row;
    };
    const Case cases[] = {
        {{100, 250, 260, 400}, 200, 300, 1},
        {{400, 260, 250, 100}, 200, 300, 1}, // descending: the first shown of the day
        {{100, 250, 260, 400}, 300, 350, 2}, // 260 is 40 before, 400 is 51 after the last second
        {{100, 250, 260, 400}, 300, 300 + 90, 3}, // 400 is 11 after, 260 is 40 before
        {{90, 110}, 100, 101, 0},                 // equally near: the first shown
        {{110, 90}, 100, 101, 0},
        {{5}, 1000, 2000, 0},
        {{}, 0, 10, kNoRow},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(viewer::RowForDay(c.times.size(), c.dayStart, c.dayEnd,
                                    [&](size_t row) { return c.times[row]; }),
                  c.row)
            << c.dayStart << ".." << c.dayEnd;
    }
}

TEST(MessageFind, LocalDayBoundsInTheTestsTimeZone) {
    // The test runs with TZ=CST-8: local midnight is 16:00 UTC the day before.
    struct Case {
        int year, month, day;
        bool ok;
        int64_t start, end;
    };
    const Case cases[] = {
        {2024, 3, 1, true, 1709222400, 1709222400 + 86400},
        {2024, 2, 29, true, 1709136000, 1709222400},
        // 1970-01-01 itself starts before the epoch here, which the Windows
        // runtime refuses to convert; the next day is the first both convert.
        {1970, 1, 2, true, 57600, 144000},
        {2023, 12, 31, true, 1703952000, 1704038400},
        {2023, 2, 29, false, 0, 0},
        {2024, 13, 1, false, 0, 0},
        {2024, 0, 1, false, 0, 0},
        {2024, 4, 31, false, 0, 0},
    };
    for (const Case& c : cases) {
        int64_t start = 0, end = 0;
        ASSERT_EQ(viewer::LocalDayBounds(c.year, c.month, c.day, start, end), c.ok)
            << c.year << "-" << c.month << "-" << c.day;
        if (c.ok) {
            EXPECT_EQ(start, c.start) << c.year << "-" << c.month << "-" << c.day;
            EXPECT_EQ(end, c.end) << c.year << "-" << c.month << "-" << c.day;
        }
    }
}

TEST(MessageFind, CopiedMessageHasItsHeadLineAndCrLfLineEnds) {
    struct Case {
        const wchar_t* text;
        const wchar_t* copy;
    };
    const Case cases[] = {
        {L"", L"\u6211 2024-03-01 08:00:00\r\n"},
        {L"one", L"\u6211 2024-03-01 08:00:00\r\none"},
        {L"a\nb", L"\u6211 2024-03-01 08:00:00\r\na\r\nb"},
        {L"a\r\nb", L"\u6211 2024-03-01 08:00:00\r\na\r\nb"},
        {L"a\rb\r", L"\u6211 2024-03-01 08:00:00\r\na\r\nb\r\n"},
        {L"\n\r\n\r\r", L"\u6211 2024-03-01 08:00:00\r\n\r\n\r\n\r\n\r\n"},
        {L"\u4f60\u597d\n\n", L"\u6211 2024-03-01 08:00:00\r\n\u4f60\u597d\r\n\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(viewer::ComposeMessageCopy(L"\u6211", L"2024-03-01", L"08:00:00", c.text),
                  c.copy);
    }
}

} // namespace

namespace {

// A log's bytes as the client writes them, listed as the pane lists them.
struct ListedLog {
    // Exactly the log's bytes, so that a read past them is one past the
    // allocation, which the sanitizers of the host build report.
    std::vector<unsigned char> bytes;
    CMessageIndex rows;

    ListedLog(const std::vector<std::pair<uint32_t, std::string>>& records, int32_t filter,
              int32_t order) {
        std::string log = BuildHeaderBytes({"11", "me", "friend"});
        for (const auto& [direction, text] : records) {
            log += BuildRecordBytes(0, direction, text);
        }
        bytes.assign(log.begin(), log.end());
        const auto size = static_cast<uint32_t>(bytes.size());
        rows.Build(
            [&](auto&& visit) {
                chatlog::VisitChatLogRecords(bytes.data(), size, [&](chatlog::ChatLogRecordPos p) {
                    visit(p, chatlog::RecordDirection(p));
                });
            },
            filter, order);
    }
    const unsigned char* End() const { return bytes.data() + bytes.size(); }
};

TEST(MessageFind, TheSearchCoreFindsShownRowsOfTheListedRecords) {
    // Received records are listed under kFilterReceived: file records 1, 2
    // and 4 become listed 0, 1, 2. The last one's hit ends its text.
    const std::vector<std::pair<uint32_t, std::string>> records = {
        {0, "needle sent"}, {1, "no"}, {1, "a NEEDLE"}, {0, "needle too"}, {1, "end needle"}};
    struct Case {
        int32_t filter, order;
        size_t selected;
        bool down, matchCase;
        size_t row;
    };
    const Case cases[] = {
        {kFilterAll, kOrderAscending, kNoRow, true, true, 0},
        {kFilterAll, kOrderAscending, 0, true, true, 3},
        {kFilterAll, kOrderAscending, 0, true, false, 2},
        {kFilterAll, kOrderAscending, 3, true, true, 4},
        {kFilterAll, kOrderAscending, 4, true, true, kNoRow},
        {kFilterAll, kOrderDescending, kNoRow, true, true, 0},
        {kFilterAll, kOrderDescending, 0, true, true, 1},
        {kFilterAll, kOrderDescending, 1, true, true, 4},
        {kFilterReceived, kOrderAscending, kNoRow, true, true, 2},
        {kFilterReceived, kOrderAscending, kNoRow, true, false, 1},
        {kFilterReceived, kOrderDescending, kNoRow, true, false, 0},
        {kFilterReceived, kOrderDescending, 0, true, false, 1},
        {kFilterReceived, kOrderDescending, kNoRow, false, true, 0},
        {kFilterSent, kOrderDescending, 1, false, true, 0},
    };
    for (const Case& c : cases) {
        ListedLog log(records, c.filter, c.order);
        const chatlog::CTextSearch search("needle", c.matchCase);
        EXPECT_EQ(viewer::FindShownRow(search, log.rows, log.End(), c.selected, c.down), c.row)
            << "filter " << c.filter << " order " << c.order << " selected " << c.selected
            << " down " << c.down << " case " << c.matchCase;
    }
    const ListedLog empty({}, kFilterAll, kOrderAscending);
    EXPECT_EQ(viewer::FindShownRow(chatlog::CTextSearch("needle", true), empty.rows, empty.End(),
                                   kNoRow, true),
              kNoRow);
}

} // namespace

// The client may rewrite a record while it is listed: a length grown past
// the view after the listing makes a find read no further than the view.
TEST(MessageFind, ARecordLengthRewrittenAfterTheListingStaysInsideTheView) {
    ListedLog log({{0, "one"}, {1, "two"}, {0, "three"}}, kFilterAll, kOrderAscending);
    const unsigned char* last = log.rows.RecordAt(2);
    ASSERT_NE(last, nullptr);
    auto* length = const_cast<unsigned char*>(last);
    length[0] = 0xFF;
    length[1] = 0xFF;
    for (bool matchCase : {true, false}) {
        EXPECT_EQ(viewer::FindShownRow(chatlog::CTextSearch("absent", matchCase), log.rows,
                                       log.End(), kNoRow, true),
                  kNoRow);
        EXPECT_EQ(viewer::FindShownRow(chatlog::CTextSearch("three", matchCase), log.rows,
                                       log.End(), kNoRow, true),
                  2u);
    }
}
