// What the user chose in the export dialog, and how that becomes the
// exporter's own options: the viewer writes exactly what chatlog-export
// writes for the same choices.
#pragma once

#include "ExportOptions.h"

#include <string>
#include <string_view>
#include <vector>

enum class ExportScope { CurrentFriend, AllFriends };

struct ExportDay {
    int year = 0;
    int month = 0;
    int day = 0;
};

struct ExportChoices {
    ExportScope scope = ExportScope::CurrentFriend;
    ExportFormat format = ExportFormat::Html;
    bool allDates = true;
    ExportDay from;
    ExportDay to;
    bool shownOrder = true; // the table's order and filter; else file order, everything
    bool monthPages = true; // web pages: one page a month in a folder
};

// The order and filter the message table shows.
struct ExportTableView {
    ExportOrder order = ExportOrder::Ascending;
    unsigned filter = kExportFilterAll;
};

namespace viewer {

// Whether the choices write a folder (every friend, or web pages a month
// each) rather than one file.
bool ExportsToFolder(const ExportChoices& choices);

// The exporter's options for these choices: the logs (UTF-8 paths), the
// output (a file, or a folder given with a trailing backslash so that the
// exporter writes into it).
ExportOptions MakeExportOptions(const ExportChoices& choices, const std::vector<std::string>& logs,
                                const ExportTableView& table, const std::string& output);

// "YYYY-MM-DD", the exporter's date.
std::string IsoDate(const ExportDay& day);

// The Save dialog's proposed name: the friend's nickname and key and the
// format's extension, "张三(12345).txt"; characters a file name cannot hold
// become "_".
std::wstring DefaultExportFileName(std::wstring_view nickname, std::wstring_view key,
                                   std::string_view extension);

} // namespace viewer
