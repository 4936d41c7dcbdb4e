#include "FindAllResults.h"

#include "ChatLogWriter.h"
#include "LogPieces.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

TEST(MatchLineSnippet, TheMatchingLineCutOnACharacterBoundary) {
    const std::string longLine = std::string(200, 'x') + "needle" + std::string(50, 'y');
    const struct {
        std::string text;
        size_t at, length, maxBytes;
        std::string expected;
    } cases[] = {
        {"one line", 4, 4, 120, "one line"},
        {"first\r\nsecond", 0, 5, 120, "first"},
        {"first\r\nsecond", 7, 3, 120, "second"},
        {"a\nb\rthird line\r\nd", 4, 5, 120, "third line"},
        {"\r\nsecond", 2, 3, 120, "second"},
        {"abcdef", 0, 1, 4, "abcd"},
        // 中文 is four bytes: a cut after three keeps only 中.
        {"\xd6\xd0\xce\xc4", 0, 2, 3, "\xd6\xd0"},
        {"\xd6\xd0\xce\xc4", 2, 2, 4, "\xd6\xd0\xce\xc4"},
        // The trail byte 0x41 is no "A" of its own and goes with its lead.
        {"x\x81\x41y", 0, 1, 2, "x"},
        {"x\x81\x41y", 0, 1, 3, "x\x81\x41"},
        // A lead byte with nothing after it on its line stands alone.
        {"ab\x81\nc", 0, 1, 120, "ab\x81"},
        {"", 0, 0, 120, ""},
        // Far along a long line: from a little before the match.
        {longLine, 200, 6, 40, std::string(10, 'x') + "needle" + std::string(24, 'y')},
        // ...on a character boundary: 10 bytes before the match is the
        // trail byte 0x41 of a character, which is left out whole.
        {"a" + std::string(100, '\xb0') + "\xb0\x41" + std::string(9, 'z') + "hit", 112, 3, 40,
         std::string(9, 'z') + "hit"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(viewer::MatchLineSnippet(c.text, c.at, c.length, c.maxBytes), c.expected)
            << c.text << " at " << c.at;
}

TEST(RowOfRecord, FindsTheRowInEitherOrderAndNothingElse) {
    unsigned char log[64] = {};
    // Rows of a filtered table: records at these offsets, in file order.
    const std::vector<size_t> listed = {3, 10, 11, 20, 40};
    for (bool ascending : {true, false}) {
        auto recordAt = [&](size_t row) -> chatlog::ChatLogRecordPos {
            return log + listed[ascending ? row : listed.size() - 1 - row];
        };
        for (size_t i = 0; i < listed.size(); ++i) {
            const long row =
                viewer::RowOfRecord(listed.size(), ascending, recordAt, log + listed[i]);
            EXPECT_EQ(row, static_cast<long>(ascending ? i : listed.size() - 1 - i)) << i;
        }
        for (size_t missing : {0, 4, 15, 41})
            EXPECT_EQ(viewer::RowOfRecord(listed.size(), ascending, recordAt, log + missing), -1)
                << missing;
        EXPECT_EQ(viewer::RowOfRecord(0, ascending, recordAt, log + 3), -1);
    }
}

// A log of these records, header first.
std::string LogOf(const std::vector<std::string>& records) {
    std::string bytes = BuildHeaderBytes({});
    for (const std::string& record : records)
        bytes += record;
    return bytes;
}

TEST(VisitLogPieces, FindsTheRecordsOfAWholeWalkAtTheirFileOffsets) {
    const std::string big(60000, 'b');
    const std::string one = BuildRecordBytes(1, 0, "one");
    std::vector<std::string> many; // whole records across several pieces
    for (int i = 0; i < 60; ++i)
        many.push_back(BuildRecordBytes(i, i % 2, i % 3 == 0 ? big : "short"));
    std::vector<std::string> damaged = many;
    damaged[50] = BuildRawRecordBytes(5, 0, 0, "x"); // shorter than any record
    std::vector<std::string> overlong = many;
    overlong.back() = BuildRawRecordBytes(0xFFFF, 0, 0, "runs past the end");
    const struct {
        const char* what;
        std::string log;
        size_t failAtRead; // the read that fails, from 1 (0: none)
        bool whole;
    } cases[] = {
        {"header only", LogOf({}), 0, true},
        {"one record", LogOf({one}), 0, true},
        {"records across pieces", LogOf(many), 0, true},
        {"a damaged record ends the walk", LogOf(damaged), 0, true},
        {"the last record runs past the end", LogOf(overlong), 0, true},
        {"a tail shorter than a record", LogOf(many) + "tail", 0, true},
        {"the second read fails", LogOf(many), 2, false},
    };
    for (const auto& c : cases) {
        std::vector<std::uint64_t> expected;
        const auto* bytes = reinterpret_cast<const unsigned char*>(c.log.data());
        chatlog::VisitChatLogRecordLengths(bytes, static_cast<std::uint32_t>(c.log.size()),
                                           [&](chatlog::ChatLogRecordPos record, std::uint16_t) {
                                               expected.push_back(record - bytes);
                                           });
        std::vector<std::uint64_t> offsets;
        size_t reads = 0;
        std::vector<unsigned char> piece;
        const bool whole = viewer::VisitLogPieces(
            static_cast<std::uint32_t>(c.log.size()), piece,
            [&](std::uint32_t offset, unsigned char* buffer, std::uint32_t count, size_t& got) {
                if (++reads == c.failAtRead)
                    return false;
                got = std::min<size_t>(count, c.log.size() - offset);
                std::memcpy(buffer, c.log.data() + offset, got);
                return true;
            },
            [&](const unsigned char* view, std::uint32_t size, std::uint64_t base) {
                chatlog::VisitChatLogRecordLengths(
                    view, size, [&](chatlog::ChatLogRecordPos record, std::uint16_t length) {
                        offsets.push_back(base + (record - view));
                        EXPECT_EQ(std::string(reinterpret_cast<const char*>(record), length),
                                  c.log.substr(offsets.back(), length));
                    });
            });
        EXPECT_EQ(whole, c.whole) << c.what;
        if (c.whole)
            EXPECT_EQ(offsets, expected) << c.what;
        else
            EXPECT_LT(offsets.size(), expected.size()) << c.what;
        EXPECT_LE(piece.size(), chatlog::kChatLogHeaderSize + viewer::kLogPieceBytes) << c.what;
    }
}

TEST(FindAllResults, KeepsTheFirstHitsCountsEveryOneAndSaysSo) {
    const std::string log = LogOf({BuildRecordBytes(1, 0, "line one\r\nthe hit")});
    const auto* record =
        reinterpret_cast<chatlog::ChatLogRecordPos>(log.data()) + chatlog::kChatLogHeaderSize;
    const auto length = static_cast<std::uint16_t>(log.size() - chatlog::kChatLogHeaderSize);
    const chatlog::CTextSearch search("hit", true);
    CFindAllResults results;
    results.BeginFriend(0, "1", "a");
    for (size_t i = 0; i <= CFindAllResults::kMaxKeptHits; ++i)
        results.AddHit(search, record, length, chatlog::kChatLogHeaderSize);
    results.AddSkippedLog();
    EXPECT_EQ(results.HitCount(), CFindAllResults::kMaxKeptHits);
    EXPECT_EQ(results.TotalCount(), CFindAllResults::kMaxKeptHits + 1);
    EXPECT_EQ(results.Snippet(results.Hit(0)), "the hit");
    EXPECT_EQ(results.Hit(0).offset, chatlog::kChatLogHeaderSize);

    const struct {
        size_t total, kept, skipped;
        const wchar_t* text;
    } cases[] = {
        {0, 0, 0, L"共 0 条"},
        {999, 999, 0, L"共 999 条"},
        {1234567, 100000, 0, L"共 1,234,567 条，显示前 100,000 条"},
        {100000, 100000, 2, L"共 100,000 条；2 个好友的记录无法读取，已跳过"},
        {100001, 100000, 1, L"共 100,001 条，显示前 100,000 条；1 个好友的记录无法读取，已跳过"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(viewer::FindAllCountText(c.total, c.kept, c.skipped), c.text);
}

} // namespace
