// The reverse walk in bounded memory.
#include "RecordOrder.h"

#include "ChatLogFormat.h"
#include "ChatLogWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

TEST(RecordOrder, ReverseWalkIsTheExactReverse) {
    for (int records : {0, 1, 2, 3, 7, 8, 9, 16, 17, 100, 1000}) {
        std::string bytes = BuildHeaderBytes(ChatLogHeaderFields());
        for (int i = 0; i < records; ++i)
            bytes += BuildRecordBytes(i, static_cast<std::uint32_t>(i % 3),
                                      std::string(static_cast<std::size_t>(i % 5), 'x'));
        bytes += "\x05"; // a tail that is no record
        auto view = reinterpret_cast<const unsigned char*>(bytes.data());
        auto size = static_cast<std::uint32_t>(bytes.size());
        chatlog::ChatLogRecordIndex forward;
        chatlog::WalkChatLogRecords(view, size, forward);
        ASSERT_EQ(forward.size(), static_cast<std::size_t>(records));
        std::vector<chatlog::ChatLogRecordPos> expected(forward.rbegin(), forward.rend());
        for (std::size_t budget : {std::size_t{2}, std::size_t{3}, std::size_t{4}, std::size_t{8},
                                   kReverseCheckpoints}) {
            std::vector<chatlog::ChatLogRecordPos> got;
            exporter::VisitRecordsReversed(
                [&](auto&& visit) { chatlog::VisitChatLogRecordLengths(view, size, visit); },
                [&](chatlog::ChatLogRecordPos record, std::uint16_t) { got.push_back(record); },
                budget);
            EXPECT_EQ(got, expected) << records << " records, " << budget << " checkpoints";
        }
    }
}

// A log rewritten between the two passes (the client writes while we read):
// lengths grown past the log, shrunk, or zeroed after the first pass. Every
// record the second pass hands out lies inside what the first pass walked,
// and its text is read within the length handed out with it. The view is an
// exact-size heap copy, so AddressSanitizer sees any read past it.
TEST(RecordOrder, LengthsRewrittenBetweenThePasses) {
    std::string bytes = BuildHeaderBytes(ChatLogHeaderFields());
    for (int i = 0; i < 40; ++i)
        bytes += BuildRecordBytes(i, 0, std::string(static_cast<std::size_t>(i % 7), 'x'));
    const std::size_t size = bytes.size();
    struct Rewrite {
        int record;
        std::uint16_t length;
    } rewrites[] = {{39, 0xFFFF}, {39, 0}, {20, 0xFFFF}, {20, 13}, {0, 0x7FFF}, {31, 14}};
    for (const Rewrite& r : rewrites) {
        std::unique_ptr<unsigned char[]> view(new unsigned char[size]);
        std::memcpy(view.get(), bytes.data(), size);
        chatlog::ChatLogRecordIndex records;
        chatlog::WalkChatLogRecords(view.get(), static_cast<std::uint32_t>(size), records);
        unsigned char* target =
            const_cast<unsigned char*>(records[static_cast<std::size_t>(r.record)]);
        std::size_t visited = 0, outside = 0;
        exporter::VisitRecordsReversed(
            [&](auto&& visit) {
                chatlog::VisitChatLogRecordLengths(view.get(), static_cast<std::uint32_t>(size),
                                                   visit);
                std::memcpy(target, &r.length, 2); // after the first pass
            },
            [&](chatlog::ChatLogRecordPos record, std::uint16_t length) {
                ++visited;
                outside += record < view.get() + chatlog::kChatLogHeaderSize ||
                           record + length > view.get() + size;
                chatlog::RecordContent(record, length);
            },
            4);
        EXPECT_EQ(outside, 0u) << r.record << " " << r.length;
        EXPECT_LE(visited, records.size() + 40) << r.record << " " << r.length;
        EXPECT_GT(visited, 0u);
    }
}
