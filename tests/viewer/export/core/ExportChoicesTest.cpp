#include "ExportChoices.h"

#include <gtest/gtest.h>

namespace {

struct OptionsCase {
    ExportScope scope;
    ExportFormat format;
    bool monthPages;
    bool shownOrder;
    bool toFolder;
    const char* output;
    ExportSplit split;
    ExportOrder order;
    unsigned filter;
};

TEST(MakeExportOptions, FollowsTheChoices) {
    const ExportTableView table{ExportOrder::Descending, kExportFilterReceived};
    constexpr auto cur = ExportScope::CurrentFriend;
    constexpr auto all = ExportScope::AllFriends;
    constexpr auto asc = ExportOrder::Ascending;
    constexpr auto desc = ExportOrder::Descending;
    const OptionsCase cases[] = {
        // One friend's text or unsplit pages: a file, the exporter's own split.
        {cur, ExportFormat::Txt, true, true, false, "C:\\out", ExportSplit::Default, desc,
         kExportFilterReceived},
        {cur, ExportFormat::Html, false, false, false, "C:\\out", ExportSplit::Default, asc,
         kExportFilterAll},
        // Pages by month, or every friend: a folder the exporter writes into.
        {cur, ExportFormat::Html, true, true, true, "C:\\out\\", ExportSplit::Month, desc,
         kExportFilterReceived},
        {all, ExportFormat::Html, false, true, true, "C:\\out\\", ExportSplit::None, desc,
         kExportFilterReceived},
        {all, ExportFormat::Json, true, false, true, "C:\\out\\", ExportSplit::Default, asc,
         kExportFilterAll},
        {all, ExportFormat::Csv, false, true, true, "C:\\out\\", ExportSplit::Default, desc,
         kExportFilterReceived},
    };
    for (const OptionsCase& c : cases) {
        ExportChoices choices;
        choices.scope = c.scope;
        choices.format = c.format;
        choices.monthPages = c.monthPages;
        choices.shownOrder = c.shownOrder;
        EXPECT_EQ(viewer::ExportsToFolder(choices), c.toFolder);
        ExportOptions o = viewer::MakeExportOptions(choices, {"a.dat", "b.dat"}, table, "C:\\out");
        EXPECT_EQ(o.output, c.output);
        EXPECT_EQ(o.split, c.split);
        EXPECT_EQ(o.order, c.order);
        EXPECT_EQ(o.filter, c.filter);
        EXPECT_EQ(o.format, c.format);
        EXPECT_EQ(o.inputs, (std::vector<std::string>{"a.dat", "b.dat"}));
        EXPECT_TRUE(o.fromDate.empty() && o.toDate.empty());
    }
}

TEST(MakeExportOptions, DateRangeAndAFolderAlreadyEndedBySlash) {
    ExportChoices choices;
    choices.scope = ExportScope::AllFriends;
    choices.allDates = false;
    choices.from = {2024, 2, 9};
    choices.to = {2025, 12, 31};
    ExportOptions o = viewer::MakeExportOptions(choices, {"a.dat"}, {}, "D:/x/");
    EXPECT_EQ(o.fromDate, "2024-02-09");
    EXPECT_EQ(o.toDate, "2025-12-31");
    EXPECT_EQ(o.output, "D:/x/");
}

TEST(DefaultExportFileName, NicknameKeyAndExtensionWithUnsafeCharactersReplaced) {
    const struct {
        const wchar_t* nickname;
        const wchar_t* key;
        const char* extension;
        const wchar_t* expected;
    } cases[] = {
        {L"张三", L"12345", "txt", L"张三(12345).txt"},
        {L"a/b\\c:d*e?f\"g<h>i|j", L"1", "html", L"a_b_c_d_e_f_g_h_i_j(1).html"},
        {L"tab\there", L"2", "csv", L"tab_here(2).csv"},
        {L"", L"3", "json", L"(3).json"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(viewer::DefaultExportFileName(c.nickname, c.key, c.extension), c.expected);
}

} // namespace
