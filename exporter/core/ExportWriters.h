// What the writers of the output formats (and the search list of --grep)
// are given, written as the messages stream by: nothing is kept per message.
// ExportFormatTable.h says which writers each format makes.
#pragma once

#include "ExportOptions.h"
#include "ExportText.h"
#include "OutputSink.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Where one page of a friend's pages stands among them (folder mode, split):
// names of files in the same folder.
struct ExportPageLinks {
    std::string label;    // the month or the part, shown beside the friend
    std::string previous; // empty on the first page
    // Empty when the page begins: the next page's name is known only when
    // that page begins, and set here before the page's EndFriend; empty
    // then on the last page.
    std::string next;
    std::string index;        // the friend's own index
    std::size_t nameSize = 0; // room kept for `next` where it must come before it is known
};

// What a writer is made for, beyond its format.
struct ExportWriterChoice {
    // The document holds (or may hold) more than one friend, which makes
    // JSON an array and an HTML page a list of sections.
    bool several = false;
    bool csvRaw = false;     // --csv-raw: CSV texts exactly (see AppendCsvTextField)
    bool grep = false;       // --grep: the txt format writes the search list
    std::string_view needle; // its text, which picks the lines shown
};

// One friend's log as the writers see it: every text already UTF-8.
struct ExportFriend {
    std::string key;
    std::string name;
    std::string ownerName;
    std::string ownerKey; // the account folder's name; empty when not known
    bool hasOwnerKey = false;
    std::string source; // the log file's path
};

struct ExportMessage {
    bool sent = false;
    std::string_view sender;
    const ExportTime* time = nullptr;
    std::string_view text;
};

class CExportWriter {
public:
    virtual ~CExportWriter() = default;
    virtual void BeginDocument() {}
    // Where the page being written stands among the friend's pages, when
    // they are written page by page: before BeginFriend, and again, with
    // `next` known, before EndFriend. Never called for a file that holds
    // all of a friend's messages.
    virtual void SetPageLinks(const ExportPageLinks& links) { (void)links; }
    virtual void BeginFriend(const ExportFriend& log) = 0;
    virtual void Message(const ExportMessage& message) = 0;
    virtual void EndFriend() {}
    virtual void EndDocument() {}
};

// One line of the index written beside the per-friend files.
struct ExportIndexEntry {
    std::string file; // name of the friend's file in the same folder
    std::string key;
    std::string name;
    std::uint64_t sent = 0;
    std::uint64_t received = 0;
};

// One line of a friend's own index: one of its pages.
struct ExportPageEntry {
    std::string file;                // name of the page in the friend's folder
    std::string label;               // its month, or its number
    std::string firstDate, lastDate; // of its first and last message shown; empty if undated
    std::uint64_t sent = 0;
    std::uint64_t received = 0;
};

// A friend's own index, written a line at a time as each page is done, so
// that it keeps nothing per page.
class CPageIndexWriter {
public:
    virtual ~CPageIndexWriter() = default;
    // `up`: the account index, as seen from the friend's folder.
    virtual void Begin(const ExportFriend& log, std::string_view up) = 0;
    virtual void Page(const ExportPageEntry& page) = 0;
    virtual void End() = 0;
};

namespace exporter {

// File name for a friend's file in an output folder: the log's stem with
// anything but [0-9A-Za-z_-] turned into '_', "log" when empty, made unique
// against `taken` by "-2", "-3", ... (compared without regard to ASCII case,
// as Windows names are). The extension is added (none when empty: a folder).
std::string MakeFriendFileName(std::string_view stem, const char* extension,
                               std::vector<std::string>& taken);

} // namespace exporter
