// What the walk of one log gathers and writes with, as CExportRun streams
// it through a writer.
#pragma once

#include "ChatLogFormat.h"
#include "ExportText.h"
#include "ExportWriters.h"
#include "ReadPageReleaser.h"
#include "RecordMatcher.h"

#include <cstdint>
#include <string>

struct ExportLogWalk {
    ExportLogWalk(CExportWriter& writer, COutputSink& sink, ExportIndexEntry* entry, bool utc)
        : writer(writer), sink(sink), entry(entry), timeFormatter(utc) {}

    // A search through several logs lists only the friends it found
    // something with: the friend begins with its first message.
    void Begin() {
        if (!begun)
            writer.BeginFriend(info);
        begun = true;
    }

    CExportWriter& writer;
    COutputSink& sink;
    ExportIndexEntry* entry;
    std::string name; // the log's path, for messages
    ExportFriend info;
    bool begun = false;
    std::uint64_t records = 0, unterminated = 0, written = 0;
    chatlog::ChatLogRecordPos first = nullptr, end = nullptr;
    std::string text;
    ExportTime time;
    CExportTimeFormatter timeFormatter;
    CReadPageReleaser pages;
    chatlog::CRecordMatcher* matcher = nullptr; // --grep on the bytes
};
