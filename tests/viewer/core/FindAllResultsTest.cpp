#include "FindAllResults.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(FirstLineSnippet, FirstLineCutOnACharacterBoundary) {
    const struct {
        std::string text;
        size_t maxBytes;
        std::string expected;
    } cases[] = {
        {"one line", 120, "one line"},
        {"first\r\nsecond", 120, "first"},
        {"first\nsecond", 120, "first"},
        {"\r\nsecond", 120, ""},
        {"abcdef", 4, "abcd"},
        // 中文 is four bytes: a cut after three keeps only 中.
        {"\xd6\xd0\xce\xc4", 3, "\xd6\xd0"},
        {"\xd6\xd0\xce\xc4", 4, "\xd6\xd0\xce\xc4"},
        // The trail byte 0x41 is no "A" of its own and goes with its lead.
        {"x\x81\x41y", 2, "x"},
        {"x\x81\x41y", 3, "x\x81\x41"},
        // A lead byte with nothing after it on its line stands alone.
        {"ab\x81\nc", 120, "ab\x81"},
        {"", 120, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(viewer::FirstLineSnippet(c.text, c.maxBytes), c.expected) << c.text;
}

TEST(RowOfRecord, FindsTheRowInEitherOrderAndNothingElse) {
    unsigned char log[64] = {};
    // Rows of a filtered table: records at these offsets, in file order.
    const std::vector<size_t> listed = {3, 10, 11, 20, 40};
    for (bool ascending : {true, false}) {
        auto recordAt = [&](size_t row) -> ChatLogRecordPos {
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

} // namespace
