#include "SplitPlan.h"

#include "ExportFormatTable.h"
#include "ExportWriters.h"

CPageSplitter::CPageSplitter(ExportSplit split, std::uint64_t perPage)
    : m_split(split), m_perPage(perPage ? perPage : 1) {}

bool CPageSplitter::Next(std::string_view date) {
    bool opens = m_messages == 0;
    ++m_messages;
    if (m_split == ExportSplit::Count) {
        opens = (m_messages - 1) % m_perPage == 0;
    } else if (m_split == ExportSplit::Month) {
        // An undated message stays on the page it stands in.
        if (date.size() >= 7) {
            std::string_view month = date.substr(0, 7);
            if (!opens && month != m_key) {
                opens = true;
                m_keysRise = m_keysRise && month > std::string_view(m_key);
            }
            if (opens)
                m_key.assign(month);
        } else if (opens) {
            m_key = kUndatedPageKey;
        }
    }
    if (opens)
        ++m_pages;
    return opens;
}

namespace exporter {

ExportSplit ResolveSplit(ExportSplit given, ExportFormat format, bool folderMode) {
    if (!folderMode)
        return ExportSplit::None;
    if (given == ExportSplit::Default)
        return exporter::FormatRow(format).splitsByDefault ? ExportSplit::Month : ExportSplit::None;
    return given;
}

PageNaming ChoosePageNaming(ExportSplit split, std::uint64_t pages, bool keysRise) {
    PageNaming naming;
    naming.keyed = split == ExportSplit::Month;
    naming.numbered = !(naming.keyed && keysRise);
    int digits = 1;
    for (std::uint64_t n = pages; n >= 10; n /= 10)
        ++digits;
    naming.width = digits > 4 ? digits : 4;
    return naming;
}

std::string PageStem(const PageNaming& naming, std::uint64_t number, std::string_view key) {
    std::string stem;
    if (naming.numbered) {
        std::string digits = std::to_string(number);
        if (digits.size() < static_cast<std::size_t>(naming.width))
            stem.assign(static_cast<std::size_t>(naming.width) - digits.size(), '0');
        stem += digits;
    }
    if (naming.keyed) {
        if (!stem.empty())
            stem.push_back('-');
        stem.append(key);
    }
    return stem;
}

std::string PageLabel(ExportSplit split, std::uint64_t number, std::string_view key) {
    return split == ExportSplit::Month ? std::string(key) : std::to_string(number);
}

namespace {

bool IsDigits(std::string_view text) {
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return !text.empty();
}

// "2023-03" or the undated pages' key.
bool IsPageKey(std::string_view key) {
    return key == kUndatedPageKey || (key.size() == 7 && key[4] == '-' &&
                                      IsDigits(key.substr(0, 4)) && IsDigits(key.substr(5)));
}

} // namespace

bool IsPageFileName(std::string_view name, std::string_view extension) {
    if (name.size() <= extension.size() + 1 ||
        name.substr(name.size() - extension.size()) != extension ||
        name[name.size() - extension.size() - 1] != '.')
        return false;
    std::string_view stem = name.substr(0, name.size() - extension.size() - 1);
    if (IsPageKey(stem))
        return true;
    std::size_t digits = 0;
    while (digits < stem.size() && stem[digits] >= '0' && stem[digits] <= '9')
        ++digits;
    if (digits == stem.size())
        return digits >= 4;
    return digits >= 4 && stem[digits] == '-' && IsPageKey(stem.substr(digits + 1));
}

std::string MakeFriendFolderName(std::string_view stem, std::vector<std::string>& taken) {
    return MakeFriendFileName(stem, "", taken);
}

} // namespace exporter
