// Pages let go behind the walk are read in again intact.
#include "ReadPageReleaser.h"

#include "ChatLogFile.h"
#include "ChatLogWriter.h"
#include "ExportInputs.h"
#include "RecordOrder.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <string>

TEST(ReadPageReleaser, PagesLetGoBehindTheWalkReadBackIntact) {
    // Some 12 MB, so that pages are let go several times in both orders.
    CScratchDir scratch("exporter");
    std::string path = exporter::PathText(scratch.Path() / "1.dat");
    CChatLogWriter writer;
    ASSERT_TRUE(writer.Create(path, ChatLogHeaderFields()));
    const int records = 45000;
    auto textOf = [](int i) { return std::to_string(i) + std::string(250, 'a' + i % 26); };
    for (int i = 0; i < records; ++i)
        ASSERT_TRUE(writer.Append(i, 0, textOf(i)));
    ASSERT_TRUE(writer.Close());
    for (bool reverse : {false, true}) {
        CChatLogFile log;
        log.SetPrefault(false);
        ASSERT_TRUE(log.Open(path.c_str()));
        CReadPageReleaser pages;
        int next = reverse ? records - 1 : 0, wrong = 0;
        auto check = [&](chatlog::ChatLogRecordPos record) {
            pages.Touch(record, chatlog::RecordLength(record));
            wrong += chatlog::RecordContent(record) != textOf(next) ||
                     chatlog::RecordTime(record) != next;
            next += reverse ? -1 : 1;
        };
        if (reverse)
            exporter::VisitRecordsReversed(
                [&](auto&& forward) {
                    log.VisitRecordLengths(
                        [&](chatlog::ChatLogRecordPos record, std::uint16_t length) {
                            pages.Touch(record, length);
                            forward(record, length);
                        });
                },
                [&](chatlog::ChatLogRecordPos record, std::uint16_t) { check(record); });
        else
            log.VisitRecords(check);
        EXPECT_EQ(wrong, 0) << (reverse ? "reverse" : "forward");
        EXPECT_EQ(next, reverse ? -1 : records);
    }
}
