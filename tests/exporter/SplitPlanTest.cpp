// Folder mode's pages, each decision over a table: the --split option, the
// split in force, where pages begin as the messages stream by, and what the
// pages and the friends' folders are called.
#include "SplitPlan.h"

#include "ExportOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(SplitPlan, OptionTakesNoneMonthOrACount) {
    struct Case {
        std::vector<std::string> args;
        bool ok;
        ExportSplit split;
        std::uint64_t count;
    };
    const Case cases[] = {
        {{"a", "-o", "d/"}, true, ExportSplit::Default, 0},
        {{"a", "-o", "d/", "--split", "none"}, true, ExportSplit::None, 0},
        {{"a", "-o", "d/", "--split=month"}, true, ExportSplit::Month, 0},
        {{"a", "-o", "d/", "--split", "10000"}, true, ExportSplit::Count, 10000},
        {{"a", "-o", "d/", "--split", "007"}, true, ExportSplit::Count, 7},
        {{"a", "-o", "d/", "--split", "999999999999"}, true, ExportSplit::Count, 999999999999u},
        {{"a", "--split", "none"}, true, ExportSplit::None, 0}, // nothing to cut: harmless
        {{"a", "-o", "d/", "--split", "0"}, false, {}, 0},
        {{"a", "-o", "d/", "--split", "000"}, false, {}, 0},
        {{"a", "-o", "d/", "--split", "weekly"}, false, {}, 0},
        {{"a", "-o", "d/", "--split", "Month"}, false, {}, 0},
        {{"a", "-o", "d/", "--split", "-5"}, false, {}, 0},
        {{"a", "-o", "d/", "--split", "1e3"}, false, {}, 0},
        {{"a", "-o", "d/", "--split", "10k"}, false, {}, 0},
        {{"a", "-o", "d/", "--split", ""}, false, {}, 0},
        {{"a", "-o", "d/", "--split", "1000000000000"}, false, {}, 0},
        {{"a", "-o", "d/", "--split", "month", "--split", "5"}, false, {}, 0},
        {{"a", "-o", "d/", "--split"}, false, {}, 0},
        {{"a", "--split", "month"}, false, {}, 0}, // standard output is one document
        {{"a", "--split", "100"}, false, {}, 0},
    };
    for (const Case& c : cases) {
        ExportOptions options;
        std::string error;
        bool ok = exporter::ParseExportArgs(c.args, options, error);
        std::string shown = c.args.back();
        EXPECT_EQ(ok, c.ok) << shown << ": " << error;
        if (ok) {
            EXPECT_EQ(options.split, c.split) << shown;
            EXPECT_EQ(options.splitCount, c.count) << shown;
        } else {
            EXPECT_NE(error.find("--split"), std::string::npos) << shown << ": " << error;
        }
    }
}

TEST(SplitPlan, SplitInForce) {
    struct Case {
        ExportSplit given;
        ExportFormat format;
        bool folder;
        ExportSplit split;
    };
    const Case cases[] = {
        {ExportSplit::Default, ExportFormat::Html, true, ExportSplit::Month},
        {ExportSplit::Default, ExportFormat::Csv, true, ExportSplit::None},
        {ExportSplit::Default, ExportFormat::Txt, true, ExportSplit::None},
        {ExportSplit::Default, ExportFormat::Html, false, ExportSplit::None},
        {ExportSplit::None, ExportFormat::Html, true, ExportSplit::None},
        {ExportSplit::Count, ExportFormat::Json, true, ExportSplit::Count},
        {ExportSplit::Month, ExportFormat::Csv, true, ExportSplit::Month},
        {ExportSplit::Month, ExportFormat::Html, false, ExportSplit::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(exporter::ResolveSplit(c.given, c.format, c.folder), c.split)
            << static_cast<int>(c.given) << " " << static_cast<int>(c.format) << " " << c.folder;
}

TEST(SplitPlan, PagesBeginWhereTheMonthOrTheCountChanges) {
    struct Case {
        const char* what;
        ExportSplit split;
        std::uint64_t perPage;
        std::vector<const char*> dates; // "" for an undated message
        std::string opens;              // per message: '+' opens a page, '.' does not
        std::vector<const char*> keys;  // the key of each page opened
        bool rise;
    };
    const Case cases[] = {
        {"months rising",
         ExportSplit::Month,
         0,
         {"2023-01-31", "2023-02-01", "2023-02-28", "2023-03-01"},
         "++.+",
         {"2023-01", "2023-02", "2023-03"},
         true},
        {"newest first",
         ExportSplit::Month,
         0,
         {"2023-03-01", "2023-02-09", "2023-02-01"},
         "++.",
         {"2023-03", "2023-02"},
         false},
        {"a month comes back",
         ExportSplit::Month,
         0,
         {"2023-01-05", "2023-02-01", "2023-01-06", "2023-02-02"},
         "++++",
         {"2023-01", "2023-02", "2023-01", "2023-02"},
         false},
        {"year turns",
         ExportSplit::Month,
         0,
         {"2022-12-31", "2023-01-01"},
         "++",
         {"2022-12", "2023-01"},
         true},
        {"undated stays",
         ExportSplit::Month,
         0,
         {"2023-01-05", "", "2023-01-06", ""},
         "+...",
         {"2023-01"},
         true},
        {"undated first",
         ExportSplit::Month,
         0,
         {"", "", "2023-01-06"},
         "+.+",
         {kUndatedPageKey, "2023-01"},
         false},
        {"only undated", ExportSplit::Month, 0, {"", ""}, "+.", {kUndatedPageKey}, true},
        {"by three",
         ExportSplit::Count,
         3,
         {"2023-01-01", "", "2023-05-01", "a", "b", "c", "d"},
         "+..+..+",
         {"", "", ""},
         true},
        {"by one", ExportSplit::Count, 1, {"x", "x"}, "++", {"", ""}, true},
        {"none", ExportSplit::None, 0, {"2023-01-01", "2024-01-01"}, "+.", {""}, true},
        {"nothing", ExportSplit::Month, 0, {}, "", {}, true},
    };
    for (const Case& c : cases) {
        CPageSplitter splitter(c.split, c.perPage);
        std::string opens;
        std::vector<std::string> keys;
        for (const char* date : c.dates) {
            bool open = splitter.Next(date);
            opens.push_back(open ? '+' : '.');
            if (open)
                keys.push_back(splitter.Key());
        }
        EXPECT_EQ(opens, c.opens) << c.what;
        EXPECT_EQ(keys, std::vector<std::string>(c.keys.begin(), c.keys.end())) << c.what;
        EXPECT_EQ(splitter.Pages(), c.keys.size()) << c.what;
        EXPECT_EQ(splitter.KeysRise(), c.rise) << c.what;
    }
}

TEST(SplitPlan, PageNamesSortInReadingOrder) {
    struct Case {
        ExportSplit split;
        std::uint64_t pages;
        bool rise;
        std::vector<const char*> keys; // of pages 1, 2, ...
        std::vector<const char*> stems;
        std::vector<const char*> labels;
    };
    const Case cases[] = {
        {ExportSplit::Month,
         3,
         true,
         {"2022-12", "2023-01", "2023-03"},
         {"2022-12", "2023-01", "2023-03"},
         {"2022-12", "2023-01", "2023-03"}},
        {ExportSplit::Month,
         2,
         false,
         {"2023-03", "2023-02"},
         {"0001-2023-03", "0002-2023-02"},
         {"2023-03", "2023-02"}},
        {ExportSplit::Month,
         2,
         false,
         {kUndatedPageKey, "1970-01"},
         {"0001-undated", "0002-1970-01"},
         {kUndatedPageKey, "1970-01"}},
        {ExportSplit::Month,
         12345,
         false,
         {"2023-03", "2023-01"},
         {"00001-2023-03", "00002-2023-01"},
         {"2023-03", "2023-01"}},
        {ExportSplit::Count, 9999, true, {"", ""}, {"0001", "0002"}, {"1", "2"}},
        {ExportSplit::Count, 10000, true, {"", ""}, {"00001", "00002"}, {"1", "2"}},
        // A survey's bound that was too low makes a longer name, never a
        // clipped one.
        {ExportSplit::Count,
         1,
         true,
         {"", "", "", "", "", "", "", "", "", "", ""},
         {"0001", "0002", "0003", "0004", "0005", "0006", "0007", "0008", "0009", "0010", "0011"},
         {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"}},
    };
    for (const Case& c : cases) {
        PageNaming naming = exporter::ChoosePageNaming(c.split, c.pages, c.rise);
        std::vector<std::string> stems, labels;
        for (std::size_t i = 0; i < c.keys.size(); ++i) {
            stems.push_back(exporter::PageStem(naming, i + 1, c.keys[i]));
            labels.push_back(exporter::PageLabel(c.split, i + 1, c.keys[i]));
        }
        EXPECT_EQ(stems, std::vector<std::string>(c.stems.begin(), c.stems.end())) << c.pages;
        EXPECT_EQ(labels, std::vector<std::string>(c.labels.begin(), c.labels.end())) << c.pages;
    }
}

TEST(SplitPlan, FriendFolderNames) {
    std::vector<std::string> taken;
    const std::pair<const char*, const char*> cases[] = {
        {"180000000", "180000000"},
        {"180000000", "180000000-2"},
        {"index", "index_"},
        {"a.b", "a_b"},
        {"", "log"},
        {"Log", "Log-2"},
    };
    for (const auto& [stem, name] : cases)
        EXPECT_EQ(exporter::MakeFriendFolderName(stem, taken), name) << stem;
}

// The names a folder export takes for its own pages, and no others.
TEST(SplitPlan, KnowsItsOwnPageNames) {
    const std::pair<const char*, bool> cases[] = {
        {"2023-03.html", true},         {"0001.html", true},           {"12345.html", true},
        {"0001-2023-12.html", true},    {"undated.html", true},        {"0001-undated.html", true},
        {"index.html", false},          {"001.html", false},           {"2023-3.html", false},
        {"2023-03.htm", false},         {"2023-03.csv", false},        {"a2023-03.html", false},
        {"0001-2023-03-x.html", false}, {".0001.html.tmp-1-2", false}, {".html", false},
        {"0001_2023-03.html", false},   {"0001-.html", false},         {"2023-03.html.bak", false},
    };
    for (const auto& [name, page] : cases)
        EXPECT_EQ(exporter::IsPageFileName(name, "html"), page) << name;
}
