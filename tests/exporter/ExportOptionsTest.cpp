// The command line: what is accepted, what is refused and why.
#include "ExportOptions.h"

#include "ExportFormatTable.h"

#include <gtest/gtest.h>

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
        {{"acct", "--list"}, true, ""},
        {{"--list"}, false, "no account folder"},
        {{"acct", "-x"}, false, "unknown option '-x'"},
        {{"acct", "--utc=1"}, false, "unknown option"},
        {{"acct", "-o", "a", "-o", "b"}, false, "given twice"},
        {{"--", "--format"}, true, ""},
        {{"acct", "--format", "csv", "--csv-raw"}, true, ""},
        {{"acct", "--csv-raw"}, false, "--csv-raw goes with --format csv"},
        {{"acct", "--csv-raw", "--format", "json"}, false, "--csv-raw goes with --format csv"},
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

// The parser and the usage read the format table: every row is taken by its
// name and listed, and each id finds its own row.
TEST(ExportOptions, FormatsFromTheTable) {
    std::string usage = exporter::ExportUsageText();
    std::string listed = "  --format ";
    for (const ExportFormatRow& row : exporter::ExportFormatRows()) {
        ExportOptions o;
        std::string error;
        ASSERT_TRUE(exporter::ParseExportArgs({"a", "--format", row.name}, o, error)) << error;
        EXPECT_EQ(o.format, row.id) << row.name;
        EXPECT_EQ(&exporter::FormatRow(row.id), &row) << row.name;
        EXPECT_EQ(exporter::FindFormat(row.name), &row) << row.name;
        listed += std::string(&row == &exporter::ExportFormatRows().front() ? "" : "|") + row.name;
    }
    EXPECT_NE(usage.find(listed + " "), std::string::npos) << usage;
    EXPECT_EQ(exporter::FindFormat("xml"), nullptr);
}
