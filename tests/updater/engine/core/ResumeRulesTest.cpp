// The header rules of a resumed download: what a Content-Range answer says
// and whether it continues the part, which validator If-Range carries, and
// the record kept beside a part between runs.
#include "ResumeRules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

TEST(ResumeRules, ContentRange) {
    struct Case {
        const char* text;
        bool valid;
        std::uint64_t first, last, total;
        bool continuesFrom1000Of3000;
    };
    const Case cases[] = {
        {"bytes 1000-2999/3000", true, 1000, 2999, 3000, true},
        {"  bytes 1000-2999/3000 ", true, 1000, 2999, 3000, true},
        {"bytes 1000-2999/*", true, 1000, 2999, 0, true},
        {"bytes 1001-2999/3000", true, 1001, 2999, 3000, false},
        {"bytes 999-2999/3000", true, 999, 2999, 3000, false},
        {"bytes 1000-2998/3000", true, 1000, 2998, 3000, false},
        {"bytes 1000-2999/4000", true, 1000, 2999, 4000, false},
        {"bytes 1000-3999/4000", true, 1000, 3999, 4000, false},
        {"bytes 1000-3000/3000", false, 0, 0, 0, false},
        {"bytes 2999-1000/3000", false, 0, 0, 0, false},
        {"bytes */3000", false, 0, 0, 0, false},
        {"bytes 1000-/3000", false, 0, 0, 0, false},
        {"bytes -2999/3000", false, 0, 0, 0, false},
        {"bytes=1000-2999/3000", false, 0, 0, 0, false},
        {"Bytes 1000-2999/3000", false, 0, 0, 0, false},
        {"items 1000-2999/3000", false, 0, 0, 0, false},
        {"bytes 1000-2999/3000x", false, 0, 0, 0, false},
        {"bytes 1000 - 2999/3000", false, 0, 0, 0, false},
        {"bytes +1000-2999/3000", false, 0, 0, 0, false},
        {"bytes 1000-99999999999999999999/3000", false, 0, 0, 0, false},
        {"", false, 0, 0, 0, false},
    };
    for (const Case& c : cases) {
        std::uint64_t first = 7, last = 7, total = 7;
        EXPECT_EQ(updater::ParseContentRange(c.text, first, last, total), c.valid) << c.text;
        if (c.valid) {
            EXPECT_EQ(first, c.first) << c.text;
            EXPECT_EQ(last, c.last) << c.text;
            EXPECT_EQ(total, c.total) << c.text;
        } else {
            EXPECT_EQ(first + last + total, 21u) << c.text << ": outputs changed";
        }
        EXPECT_EQ(updater::ContinuesFrom(c.text, 1000, 3000), c.continuesFrom1000Of3000) << c.text;
    }
    std::uint64_t first = 0, last = 0, total = 0;
    EXPECT_FALSE(updater::ParseContentRange(nullptr, first, last, total));
    EXPECT_FALSE(updater::ContinuesFrom(nullptr, 0, 3000));
    EXPECT_TRUE(updater::ContinuesFrom("bytes 0-0/1", 0, 1));
    EXPECT_FALSE(updater::ContinuesFrom("bytes 0-0/1", 0, 0));
}

TEST(ResumeRules, ValidatorForIfRange) {
    struct Case {
        const char* etag;
        const char* lastModified;
        const char* chosen;
    };
    const char* kDate = "Tue, 01 Jul 2025 10:00:00 GMT";
    const Case cases[] = {
        {"\"e1\"", kDate, "\"e1\""}, {"\"e1\"", nullptr, "\"e1\""},
        {"W/\"e1\"", kDate, kDate}, // a weak tag cannot validate a range
        {"W/\"e1\"", nullptr, ""},   {nullptr, kDate, kDate},
        {"", kDate, kDate},          {"e1", kDate, kDate}, // not quoted: no entity tag
        {"\"", nullptr, ""},         {nullptr, "", ""},
        {nullptr, nullptr, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(updater::ChooseValidator(c.etag, c.lastModified), c.chosen)
            << (c.etag ? c.etag : "(none)") << " / "
            << (c.lastModified ? c.lastModified : "(none)");
    }
}

TEST(ResumeRules, PauseGrows) {
    EXPECT_EQ(updater::ResumePauseMs(1), 1000u);
    EXPECT_EQ(updater::ResumePauseMs(2), 2000u);
    EXPECT_EQ(updater::ResumePauseMs(3), 4000u);
}

TEST(ResumeRules, PartRecord) {
    updater::PartRecord record;
    record.address = "http://dl.example/s/VemliSetup.exe";
    record.validator = "\"e1\"";
    record.digest.fill(0xAB);
    record.size = 104857600;
    const std::string text = updater::FormatPartRecord(record);
    ASSERT_FALSE(text.empty());

    updater::PartRecord read;
    ASSERT_TRUE(updater::ParsePartRecord(text, read));
    EXPECT_EQ(read.address, record.address);
    EXPECT_EQ(read.validator, record.validator);
    EXPECT_EQ(read.digest, record.digest);
    EXPECT_EQ(read.size, record.size);

    // Without a validator the record still stands.
    record.validator.clear();
    ASSERT_TRUE(updater::ParsePartRecord(updater::FormatPartRecord(record), read));
    EXPECT_EQ(read.validator, "");

    // Damaged records start the setup over.
    struct Case {
        const char* label;
        std::string text;
    };
    const std::string digestLine = "sha256 " + std::string(64, 'a') + "\n";
    const Case damaged[] = {
        {"empty", ""},
        {"cut short", text.substr(0, text.size() - 3)},
        {"no final line end", text.substr(0, text.size() - 1)},
        {"more after it", text + "x\n"},
        {"other first line", "VemliSetup part 2" + text.substr(text.find('\n'))},
        {"lines swapped", text.substr(0, text.find('\n') + 1) + "validator \"e1\"\naddress a\n" +
                              digestLine + "size 5\n"},
        {"digest short", text.substr(0, text.find("sha256")) + "sha256 abc\nsize 5\n"},
        {"size 0", text.substr(0, text.find("size")) + "size 0\n"},
        {"size too large", text.substr(0, text.find("size")) + "size 4294967296\n"},
        {"no address", "VemliSetup part 1\naddress \nvalidator \n" + digestLine + "size 5\n"},
        {"CR in a line", "VemliSetup part 1\naddress a\r\nvalidator \n" + digestLine + "size 5\n"},
        {"NUL after the size", text.substr(0, text.size() - 1) + std::string(3, '\0') + "\n"},
        {"NUL in the address", "VemliSetup part 1\naddress a" + std::string(1, '\0') +
                                   "b\nvalidator \n" + digestLine + "size 5\n"},
    };
    for (const Case& c : damaged) {
        updater::PartRecord untouched;
        untouched.size = 9;
        EXPECT_FALSE(updater::ParsePartRecord(c.text, untouched)) << c.label;
        EXPECT_EQ(untouched.size, 9u) << c.label;
    }
    // A header value with a line break cannot be written at all.
    record.validator = "\"e1\"\nsize 1";
    EXPECT_EQ(updater::FormatPartRecord(record), "");
}

} // namespace
