#include "ExportChoices.h"

#include <cstdio>

namespace viewer {

bool ExportsToFolder(const ExportChoices& choices) {
    return choices.scope == ExportScope::AllFriends ||
           (choices.format == ExportFormat::Html && choices.monthPages);
}

std::string IsoDate(const ExportDay& day) {
    char text[16];
    std::snprintf(text, sizeof(text), "%04d-%02d-%02d", day.year, day.month, day.day);
    return text;
}

ExportOptions MakeExportOptions(const ExportChoices& choices, const std::vector<std::string>& logs,
                                const ExportTableView& table, const std::string& output) {
    ExportOptions options;
    options.inputs = logs;
    options.format = choices.format;
    if (choices.shownOrder) {
        options.order = table.order;
        options.filter = table.filter;
    }
    if (!choices.allDates) {
        options.fromDate = IsoDate(choices.from);
        options.toDate = IsoDate(choices.to);
    }
    options.output = output;
    if (ExportsToFolder(choices)) {
        if (!options.output.empty() && options.output.back() != '\\' &&
            options.output.back() != '/')
            options.output += '\\';
        // Web pages without the month split: one page per friend.
        if (choices.format == ExportFormat::Html)
            options.split = choices.monthPages ? ExportSplit::Month : ExportSplit::None;
    }
    return options;
}

std::wstring DefaultExportFileName(std::wstring_view nickname, std::wstring_view key,
                                   std::string_view extension) {
    std::wstring name(nickname);
    name += L'(';
    name += key;
    name += L')';
    for (wchar_t& c : name) {
        if (c < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos)
            c = L'_';
    }
    name += L'.';
    name.append(extension.begin(), extension.end());
    return name;
}

} // namespace viewer
