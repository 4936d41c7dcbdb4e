// Inside the writers: one file per format (TxtWriter, GrepListWriter,
// CsvWriter, JsonWriter, HtmlWriter), each with its writer and its index,
// and what they share. The format table (ExportFormatTable) picks among them.
#pragma once

#include "ExportWriters.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace exporter {

// Labels that the viewer itself uses for the two kinds of message.
inline constexpr const char* kSentLabel =
    "\xe5\x8f\x91\xe5\x87\xba\xe4\xbf\xa1\xe6\x81\xaf"; // 发出信息
inline constexpr const char* kReceivedLabel =
    "\xe6\x94\xb6\xe5\x88\xb0\xe4\xbf\xa1\xe6\x81\xaf"; // 收到信息
inline constexpr const char* kAllLabel =
    "\xe6\x89\x80\xe6\x9c\x89\xe4\xbf\xa1\xe6\x81\xaf"; // 所有信息
inline constexpr const char* kFriendListLabel =
    "\xe5\xa5\xbd\xe5\x8f\x8b\xe5\x88\x97\xe8\xa1\xa8"; // 好友列表

// "sent" or "received", as the CSV and JSON write the direction.
const char* DirectionWord(bool sent);
// The friend as the viewer's tree labels it: "%s(%s)", as plain text.
void AppendFriendLabel(std::string& out, const ExportFriend& log);

// Each format's writer file gives its row of the format table these three.
std::unique_ptr<CExportWriter> MakeTxtWriter(COutputSink& sink, const ExportWriterChoice& choice);
std::unique_ptr<CExportWriter> MakeCsvWriter(COutputSink& sink, const ExportWriterChoice& choice);
std::unique_ptr<CExportWriter> MakeJsonWriter(COutputSink& sink, const ExportWriterChoice& choice);
std::unique_ptr<CExportWriter> MakeHtmlWriter(COutputSink& sink, const ExportWriterChoice& choice);
// The txt format's search list, with --grep.
std::unique_ptr<CExportWriter> MakeGrepListWriter(COutputSink& sink, std::string_view needle);

std::unique_ptr<CPageIndexWriter> MakeTxtPageIndexWriter(COutputSink& sink);
std::unique_ptr<CPageIndexWriter> MakeCsvPageIndexWriter(COutputSink& sink);
std::unique_ptr<CPageIndexWriter> MakeJsonPageIndexWriter(COutputSink& sink);
std::unique_ptr<CPageIndexWriter> MakeHtmlPageIndexWriter(COutputSink& sink);

void WriteTxtIndex(const std::vector<ExportIndexEntry>& entries, COutputSink& sink,
                   const ExportWriterChoice& choice);
void WriteCsvIndex(const std::vector<ExportIndexEntry>& entries, COutputSink& sink,
                   const ExportWriterChoice& choice);
void WriteJsonIndex(const std::vector<ExportIndexEntry>& entries, COutputSink& sink,
                    const ExportWriterChoice& choice);
void WriteHtmlIndex(const std::vector<ExportIndexEntry>& entries, COutputSink& sink,
                    const ExportWriterChoice& choice);

} // namespace exporter
