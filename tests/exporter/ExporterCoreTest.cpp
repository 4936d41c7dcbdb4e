// The exporter's decisions, each over a table of cases: options, dates,
// decoding, matching, escaping, times, the reverse walk, input discovery,
// file names and whole-or-nothing output files.
#include "ChatLogFile.h"
#include "ChatLogWriter.h"
#include "ExportInputs.h"
#include "ExportOptions.h"
#include "ExportPlatform.h"
#include "ExportText.h"
#include "ExportWriters.h"
#include "RecordOrder.h"
#include "ScratchDir.h"
#include "TextDecode.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

void WriteFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(ExportOptions, ParsesOrRefuses) {
    struct Case {
        std::vector<std::string> args;
        bool ok;
        std::string errorPart; // when refused
    };
    const Case cases[] = {
        {{"acct"}, true, ""},
        {{}, false, "no account folder"},
        {{"--format", "csv"}, false, "no account folder"},
        {{"acct", "--format", "xml"}, false, "--format takes"},
        {{"acct", "--format"}, false, "needs a value"},
        {{"acct", "--format", "csv", "--format=json"}, false, "given twice"},
        {{"acct", "--order", "up"}, false, "--order takes"},
        {{"acct", "--filter", "both"}, false, "--filter takes"},
        {{"acct", "--from", "2026-02-30"}, false, "--from takes"},
        {{"acct", "--to", "2026-1-01"}, false, "--to takes"},
        {{"acct", "--from", "2026-03-02", "--to", "2026-03-01"}, false, "is after"},
        {{"acct", "--grep", ""}, false, "--grep needs"},
        {{"acct", "--friend", ""}, false, "--friend needs"},
        {{"acct", "-x"}, false, "unknown option '-x'"},
        {{"acct", "--utc=1"}, false, "unknown option"},
        {{"acct", "-o", "a", "-o", "b"}, false, "given twice"},
        {{"--", "--format"}, true, ""},
    };
    for (const Case& c : cases) {
        ExportOptions options;
        std::string error;
        bool ok = exporter::ParseExportArgs(c.args, options, error);
        std::string shown = c.args.empty() ? "(none)" : c.args.back();
        EXPECT_EQ(ok, c.ok) << shown << ": " << error;
        if (!c.ok) {
            EXPECT_NE(error.find(c.errorPart), std::string::npos) << shown << ": " << error;
        }
    }
}

TEST(ExportOptions, TakesEveryOption) {
    ExportOptions o;
    std::string error;
    ASSERT_TRUE(
        exporter::ParseExportArgs({"a", "--format=html", "--friend", "1", "--friend=22", "--order",
                                   "desc", "--filter", "received", "--from", "2024-02-29", "--to",
                                   "2024-03-01", "--grep", "Hi", "--utc", "-o", "out", "b.dat"},
                                  o, error))
        << error;
    EXPECT_EQ(o.inputs, (std::vector<std::string>{"a", "b.dat"}));
    EXPECT_EQ(o.format, ExportFormat::Html);
    EXPECT_EQ(o.friendKeys, (std::vector<std::string>{"1", "22"}));
    EXPECT_EQ(o.order, ExportOrder::Descending);
    EXPECT_EQ(o.filter, kExportFilterReceived);
    EXPECT_EQ(o.fromDate, "2024-02-29");
    EXPECT_EQ(o.toDate, "2024-03-01");
    EXPECT_TRUE(o.hasGrep);
    EXPECT_EQ(o.grep, "Hi");
    EXPECT_TRUE(o.utc);
    EXPECT_EQ(o.output, "out");
}

TEST(ExportOptions, CalendarDates) {
    const std::pair<const char*, bool> cases[] = {
        {"2024-02-29", true},   {"2023-02-29", false}, {"2000-02-29", true},  {"1900-02-29", false},
        {"2026-12-31", true},   {"2026-13-01", false}, {"2026-00-10", false}, {"2026-04-31", false},
        {"2026-01-00", false},  {"0999-01-01", false}, {"2026-01-1x", false}, {"2026/01/01", false},
        {"2026-01-011", false}, {"", false},
    };
    for (const auto& [text, valid] : cases)
        EXPECT_EQ(exporter::IsValidIsoDate(text), valid) << text;
}

TEST(TextDecode, GbkBecomesUtf8AndBadBytesBecomeReplacements) {
    const std::string r(kReplacementUtf8);
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"plain ASCII, <tags> & \"quotes\"", "plain ASCII, <tags> & \"quotes\""},
        {"\xc4\xe3\xba\xc3\xa3\xa1", "\xe4\xbd\xa0\xe5\xa5\xbd\xef\xbc\x81"}, // 你好！
        {"a\xd5\xc5z", "a\xe5\xbc\xa0z"},                                     // a张z
        {"\xff", r},                                                          // never a lead
        {"\xc4", r},                                                          // lead at the end
        {"\xc4 \xc4\xe3", r + " \xe4\xbd\xa0"}, // lead without trail, then on
        {"\xc4\x41", "\xe8\x85\x81"},           // 0x41 is a trail byte too: 腁
        {"\xc4\x7f", r + "\x7f"},               // 0x7F is no trail byte
        {"ok\xff\xff"
         "A\xc4\xe3",
         "ok" + r + r + "A\xe4\xbd\xa0"},
    };
    CGbkDecoder decoder;
    for (const auto& [gbk, utf8] : cases)
        EXPECT_EQ(decoder.Decode(gbk), utf8) << gbk;
}

TEST(TextDecode, GrepMatchFoldsAsciiOnly) {
    struct Case {
        const char* text;
        const char* needle;
        bool found;
    };
    const Case cases[] = {
        {"OK, see you", "ok", true},
        {"ok", "OK", true},
        {"abc", "", true},
        {"", "a", false},
        {"ab", "abc", false},
        {"see you at 7", "AT 7", true},
        {"\xe4\xbd\xa0\xe5\xa5\xbd", "\xe5\xa5\xbd", true}, // 好 in 你好
        {"\xe4\xbd\xa0", "\xa0", true},                     // bytes match exactly
        {"\xc3\xa9", "\xc3\x89", false},                    // é and É: not ASCII
        {"aaab", "aab", true},
        {"[x]", "[X]", true},
        {"@", "`", false}, // neighbours of the letters are not folded
    };
    for (const Case& c : cases)
        EXPECT_EQ(exporter::ContainsAsciiFold(c.text, c.needle), c.found)
            << c.text << " / " << c.needle;
}

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
        {"America/New_York", -2147483648ll},
    };
    for (const Sweep& sweep : sweeps) {
#ifndef _WIN32
        setenv("TZ", sweep.zone, 1);
        tzset();
#endif
        for (bool utc : {false, true}) {
            CExportTimeFormatter formatter(utc);
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
                }
            }
        }
    }
#ifndef _WIN32
    unsetenv("TZ");
    tzset();
#endif
}

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

TEST(ExportPlatform, PagesLetGoBehindTheWalkReadBackIntact) {
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
        auto check = [&](ChatLogRecordPos record) {
            pages.Touch(record, chatlog::RecordLength(record));
            wrong +=
                chatlog::RecordContent(record) != textOf(next) || chatlog::RecordTime(record) != next;
            next += reverse ? -1 : 1;
        };
        if (reverse)
            exporter::VisitRecordsReversed(
                [&](auto&& forward) {
                    log.VisitRecords([&](ChatLogRecordPos record) {
                        pages.Touch(record, chatlog::RecordLength(record));
                        forward(record);
                    });
                },
                check);
        else
            log.VisitRecords(check);
        EXPECT_EQ(wrong, 0) << (reverse ? "reverse" : "forward");
        EXPECT_EQ(next, reverse ? -1 : records);
    }
}

TEST(ExportWriters, FriendFileNames) {
    std::vector<std::string> taken;
    const std::pair<const char*, const char*> cases[] = {
        {"123", "123.csv"}, {"123", "123-2.csv"},   {"", "log.csv"},
        {"", "log-2.csv"},  {"a b/c", "a_b_c.csv"}, {"INDEX", "INDEX_.csv"},
        {"AbC", "AbC.csv"}, {"abc", "abc-2.csv"},   {"\xd5\xc5", "__.csv"},
    };
    for (const auto& [stem, name] : cases)
        EXPECT_EQ(exporter::MakeFriendFileName(stem, "csv", taken), name) << stem;
}

TEST(ExportInputs, FindsTheLogsOfEachKindOfOperand) {
    CScratchDir scratch("exporter");
    const fs::path& root = scratch.Path();
    std::string log = BuildHeaderBytes(ChatLogHeaderFields());
    WriteFile(root / "12345" / "ChatLog" / "1.dat", log);
    WriteFile(root / "12345" / "ChatLog" / "2.DAT", log);
    WriteFile(root / "12345" / "ChatLog" / "3.txt", log);
    fs::create_directories(root / "12345" / "ChatLog" / "4.dat");
    WriteFile(root / "loose" / "7.dat", log);
    WriteFile(root / "empty" / "readme.txt", "x");
    WriteFile(root / "any.bin", log);
    struct Case {
        fs::path operand;
        bool ok;
        std::vector<std::string> names; // sorted
        std::string ownerKey;
    };
    const Case cases[] = {
        {root / "12345", true, {"1.dat", "2.DAT"}, "12345"},
        {root / "12345" / "", true, {"1.dat", "2.DAT"}, "12345"},
        {root / "12345" / "ChatLog", true, {"1.dat", "2.DAT"}, "12345"},
        {root / "loose", true, {"7.dat"}, ""},
        {root / "any.bin", true, {"any.bin"}, ""},
        {root / "empty", false, {}, ""},
        {root / "missing", false, {}, ""},
    };
    for (const Case& c : cases) {
        std::vector<ExportSource> sources;
        std::string error;
        EXPECT_EQ(exporter::CollectExportSources(exporter::PathText(c.operand), sources, error),
                  c.ok)
            << exporter::PathText(c.operand) << ": " << error;
        std::vector<std::string> names;
        for (const ExportSource& s : sources) {
            names.push_back(exporter::PathText(s.path.filename()));
            EXPECT_EQ(s.hasOwnerKey, !c.ownerKey.empty());
            EXPECT_EQ(s.ownerKey, c.ownerKey);
        }
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, c.names) << exporter::PathText(c.operand);
    }
}

TEST(ExportPlatform, OutputFileIsWholeOrAbsent) {
    CScratchDir scratch("exporter");
    fs::path target = scratch.Path() / "out.csv";
    WriteFile(target, "old");
    std::string error;
    {
        // Abandoned halfway: the old file stays and no temporary is left.
        CAtomicOutputFile file;
        ASSERT_TRUE(file.Create(target, error)) << error;
        std::fputs("half", file.Stream());
    }
    EXPECT_EQ(ReadFile(target), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.Path()), fs::directory_iterator()), 1);
    {
        CAtomicOutputFile file;
        ASSERT_TRUE(file.Create(target, error)) << error;
        std::fputs("new and whole", file.Stream());
        EXPECT_EQ(ReadFile(target), "old"); // not yet
        ASSERT_TRUE(file.Commit(error)) << error;
    }
    EXPECT_EQ(ReadFile(target), "new and whole");
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.Path()), fs::directory_iterator()), 1);
    CAtomicOutputFile nowhere;
    EXPECT_FALSE(nowhere.Create(scratch.Path() / "no" / "such" / "folder.csv", error));
    EXPECT_NE(error.find("cannot write"), std::string::npos);
}
