// The four output formats (and the search list of --grep), written as the
// messages stream by: nothing is kept per message.
#pragma once

#include "ExportOptions.h"
#include "ExportText.h"
#include "OutputSink.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

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
    virtual void BeginFriend(const ExportFriend& log) = 0;
    virtual void Message(const ExportMessage& message) = 0;
    virtual void EndFriend() {}
    virtual void EndDocument() {}
};

namespace exporter {

// `several`: the document holds (or may hold) more than one friend, which
// makes JSON an array and an HTML page a list of sections. `grep` is the
// needle of --grep (only the txt search list uses it to pick lines).
std::unique_ptr<CExportWriter> MakeExportWriter(ExportFormat format, bool grep,
                                                std::string_view needle, bool several,
                                                COutputSink& sink);

} // namespace exporter

// One line of the index written beside the per-friend files.
struct ExportIndexEntry {
    std::string file; // name of the friend's file in the same folder
    std::string key;
    std::string name;
    std::uint64_t sent = 0;
    std::uint64_t received = 0;
};

namespace exporter {

void WriteExportIndex(ExportFormat format, const std::vector<ExportIndexEntry>& entries,
                      COutputSink& sink);

// File name for a friend's file in an output folder: the log's stem with
// anything but [0-9A-Za-z_-] turned into '_', "log" when empty, made unique
// against `taken` by "-2", "-3", ... (compared without regard to ASCII case,
// as Windows names are). The extension is added (none when empty: a folder).
std::string MakeFriendFileName(std::string_view stem, const char* extension,
                               std::vector<std::string>& taken);

} // namespace exporter
