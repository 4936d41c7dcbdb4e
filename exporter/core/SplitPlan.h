// How one friend's messages are cut into files in folder mode: where a new
// file begins as the messages stream by in the shown order, and what the
// files are called so that a folder listing shows them in reading order.
// Decided here message by message, with nothing kept per message or page.
#pragma once

#include "ExportOptions.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The key of the page of messages whose time the system could not convert
// (never met in a real log): they join the page they stand in; only before
// the first dated message do they make a page of their own. Seven letters,
// as long as a month's key, so every page name of a friend is as long.
constexpr const char* kUndatedPageKey = "undated";

class CPageSplitter {
public:
    CPageSplitter(ExportSplit split, std::uint64_t perPage);
    // Takes the next message shown, by its date ("YYYY-MM-DD", or empty for
    // a time that could not be converted). True when it opens a new page;
    // the first message always does.
    bool Next(std::string_view date);
    // The current page's month ("2023-03" or kUndatedPageKey); empty unless
    // split by month.
    const std::string& Key() const { return m_key; }
    std::uint64_t Pages() const { return m_pages; }
    // Every page's key stood after the one before it, as text: then the
    // month alone names a page in reading order.
    bool KeysRise() const { return m_keysRise; }

private:
    ExportSplit m_split;
    std::uint64_t m_perPage;
    std::uint64_t m_messages = 0;
    std::uint64_t m_pages = 0;
    std::string m_key;
    bool m_keysRise = true;
};

// What a friend's page files are called, fixed before the first is written:
// "2023-03" when the months rise through the pages, else a number in front
// ("0001-2023-12", as the newest month first needs); "0001" for a count.
struct PageNaming {
    bool numbered = true;
    bool keyed = false;
    int width = 4; // digits of the number, zero-padded
};

namespace exporter {

// The split in force: as given, or the default for the format. Outside
// folder mode nothing is split.
ExportSplit ResolveSplit(ExportSplit given, ExportFormat format, bool folderMode);

// From a survey of the pages that the friend's messages make (an upper
// bound of their count, and whether their keys rise).
PageNaming ChoosePageNaming(ExportSplit split, std::uint64_t pages, bool keysRise);

// The page's name without extension; `number` counts the pages from 1.
std::string PageStem(const PageNaming& naming, std::uint64_t number, std::string_view key);

// What the friend's index shows for the page: its month, or its number.
std::string PageLabel(ExportSplit split, std::uint64_t number, std::string_view key);

// Whether `name` is one the export gives a page of the format with
// `extension` ("html"): "2023-03", "0001", "0001-2023-03", "undated" or
// "0001-undated", then the extension. A folder export removes such files
// that it no longer lists from a friend's folder it writes, and no other.
bool IsPageFileName(std::string_view name, std::string_view extension);

// The folder that holds a friend's pages in the output folder: the log's
// stem made safe and unique as MakeFriendFileName does, without extension.
std::string MakeFriendFolderName(std::string_view stem, std::vector<std::string>& taken);

} // namespace exporter
