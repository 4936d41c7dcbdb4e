// The reverse walk in bounded memory.
#include "RecordOrder.h"

#include "ChatLogFormat.h"
#include "ChatLogWriter.h"

#include <gtest/gtest.h>

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
        ChatLogRecordIndex forward;
        chatlog::WalkChatLogRecords(view, size, forward);
        ASSERT_EQ(forward.size(), static_cast<std::size_t>(records));
        std::vector<ChatLogRecordPos> expected(forward.rbegin(), forward.rend());
        for (std::size_t budget : {std::size_t{2}, std::size_t{3}, std::size_t{4}, std::size_t{8},
                                   kReverseCheckpoints}) {
            std::vector<ChatLogRecordPos> got;
            exporter::VisitRecordsReversed(
                [&](auto&& visit) { chatlog::VisitChatLogRecords(view, size, visit); },
                [&](ChatLogRecordPos record) { got.push_back(record); }, budget);
            EXPECT_EQ(got, expected) << records << " records, " << budget << " checkpoints";
        }
    }
}
