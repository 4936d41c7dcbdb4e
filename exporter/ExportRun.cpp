#include "ExportRun.h"

#include "AtomicOutputFile.h"
#include "ExportFormatTable.h"
#include "ExportPlatform.h"
#include "ExportText.h"
#include "FriendPages.h"
#include "InputChecks.h"
#include "RecordFilter.h"
#include "RecordOrder.h"

#include <cstdio>
#include <system_error>

namespace fs = std::filesystem;

// One page past this many messages opens slowly in a browser (seconds at
// 100,000): worth a word about the folder's pages.
constexpr std::uint64_t kLargePageMessages = 50000;

int CExportRun::Run() {
    // Whether -o names a folder decides whether --split can be obeyed, so
    // this usage error is told before anything is read or written.
    if (!m_options.output.empty()) {
        std::error_code ec;
        char last = m_options.output.back();
        m_folderMode =
            fs::is_directory(fs::u8path(m_options.output), ec) || last == '/' || last == '\\';
    }
    m_split = exporter::ResolveSplit(m_options.split, m_options.format, m_folderMode);
    if (!m_folderMode &&
        (m_options.split == ExportSplit::Month || m_options.split == ExportSplit::Count)) {
        std::fprintf(stderr,
                     "chatlog-export: --split cuts the output into files in a folder, and %s is "
                     "not one: give -o FOLDER/\n",
                     m_options.output.c_str());
        std::fputs(exporter::ExportUsageText(), stderr);
        return kExitUsage;
    }
    if (m_options.hasGrep) {
        std::string gbk;
        CGbkConverter::ToGbk(m_options.grep, gbk);
        m_byteGrep = exporter::IsByteSearchExact(m_options.grep, gbk, m_decoder);
        if (m_byteGrep)
            m_search = chatlog::CTextSearch(gbk, false);
    }
    std::vector<ExportSource> sources;
    // Refused before anything is written: an existing output stays as it is.
    if (!CollectInputs(sources))
        return kExitWarnings;
    std::vector<SelectedLog> selected = SelectLogs(sources);
    if (!PrepareOutput(selected))
        return kExitWarnings;
    m_progress = CExportProgress(exporter::IsStandardErrorTerminal(), selected.size());
    if (m_folderMode)
        ExportToFolder(selected);
    else
        ExportToOne(selected);
    m_progress.Clear();
    if (m_warnings)
        return kExitWarnings;
    if (m_options.hasGrep && m_matched == 0)
        return kExitNoMatch;
    return kExitOk;
}

ExportWriterChoice CExportRun::WriterChoice() const {
    ExportWriterChoice choice;
    choice.csvRaw = m_options.csvRaw;
    choice.grep = m_options.hasGrep;
    choice.needle = m_options.grep;
    return choice;
}

void CExportRun::Problem(const std::string& text) {
    m_progress.Clear();
    std::fprintf(stderr, "chatlog-export: %s\n", text.c_str());
    ++m_warnings;
}

// Every operand must name something to export: a folder of logs or an
// account folder, or a file that is a chat log (it opens with a whole
// header, and carries the chat log mark or a chat log's name). Damage found
// later, inside a log or among a folder's files, is reported and the rest
// exported.
bool CExportRun::CollectInputs(std::vector<ExportSource>& sources) {
    for (const std::string& input : m_options.inputs) {
        std::string error;
        std::size_t before = sources.size();
        if (!exporter::CollectExportSources(input, sources, error)) {
            Problem(error + "; nothing written");
            continue;
        }
        for (std::size_t i = before; i < sources.size(); ++i) {
            if (!sources[i].named)
                continue;
            CChatLogFile log;
            if (!OpenLog(log, sources[i].path, "; nothing written"))
                continue;
            if (!exporter::LooksLikeChatLog(log, sources[i].path))
                Problem(input + ": not a chat log (neither its mark nor a chat log's name); "
                                "nothing written");
        }
    }
    return m_warnings == 0;
}

// The logs to export. --friend picks by the key in the header, so then
// every log is opened once beforehand, and the count decides between one
// JSON document and an array before anything is written. Without it
// every log is taken and opened only when exported (on Windows, under
// Wine above all, each open costs more than exporting a short log).
std::vector<CExportRun::SelectedLog>
CExportRun::SelectLogs(const std::vector<ExportSource>& sources) {
    std::vector<SelectedLog> selected;
    if (m_options.friendKeys.empty()) {
        for (const ExportSource& source : sources)
            selected.push_back({source, std::string()});
        return selected;
    }
    std::vector<bool> keyFound(m_options.friendKeys.size(), false);
    for (const ExportSource& source : sources) {
        CChatLogFile log;
        if (!OpenLog(log, source.path))
            continue;
        bool wanted = false;
        for (std::size_t i = 0; i < m_options.friendKeys.size(); ++i) {
            if (log.FriendKey() == m_options.friendKeys[i]) {
                wanted = true;
                keyFound[i] = true;
            }
        }
        if (wanted)
            selected.push_back({source, std::string()});
    }
    for (std::size_t i = 0; i < keyFound.size(); ++i) {
        if (!keyFound[i])
            Problem("no chat log of a friend with the key " + m_options.friendKeys[i]);
    }
    return selected;
}

bool CExportRun::OpenLog(CChatLogFile& log, const fs::path& path, const char* consequence) {
    if (log.Open(path.c_str()))
        return true;
    std::error_code ec;
    std::uintmax_t size = fs::file_size(path, ec);
    if (!ec && size < kChatLogHeaderSize)
        Problem(exporter::PathText(path) + ": not a chat log: " + std::to_string(size) +
                " bytes, shorter than the 80-byte header" + consequence);
    else
        Problem(exporter::PathText(path) + ": cannot open the chat log" + consequence);
    return false;
}

bool CExportRun::PrepareOutput(std::vector<SelectedLog>& selected) {
    if (m_options.output.empty())
        return true;
    fs::path output = fs::u8path(m_options.output);
    std::error_code ec;
    if (m_folderMode) {
        std::vector<std::string> taken;
        for (SelectedLog& log : selected) {
            std::string stem = exporter::PathText(log.source.path.stem());
            // Split, a friend's pages and index go into a folder of its own.
            log.fileName = m_split == ExportSplit::None
                               ? exporter::MakeFriendFileName(
                                     stem, exporter::FormatExtension(m_options.format), taken)
                               : exporter::MakeFriendFolderName(stem, taken);
        }
        if (OverwritesAnInput(output, selected))
            return false;
        fs::create_directories(output, ec);
        if (!fs::is_directory(output, ec)) {
            Problem(m_options.output + ": cannot create the folder");
            return false;
        }
        m_outputFolder = output;
        return true;
    }
    // The output replaces its file when done: never let that be a log.
    for (const SelectedLog& log : selected) {
        if (fs::equivalent(output, log.source.path, ec)) {
            Problem(m_options.output + ": is one of the chat logs being read; nothing written");
            return false;
        }
    }
    return true;
}

// Whether a file the folder export would write is one of the logs read.
bool CExportRun::OverwritesAnInput(const fs::path& folder,
                                   const std::vector<SelectedLog>& selected) {
    std::vector<fs::path> inputs;
    std::vector<std::string> written = {std::string("index.") +
                                        exporter::FormatExtension(m_options.format)};
    for (const SelectedLog& log : selected) {
        inputs.push_back(log.source.path);
        written.push_back(log.fileName);
    }
    // Split, a file of the format in a friend's folder may be one of its
    // pages or its index.
    std::string pages = m_split == ExportSplit::None
                            ? std::string()
                            : std::string(".") + exporter::FormatExtension(m_options.format);
    std::size_t found = exporter::FindInputWrittenOver(inputs, folder, written, pages);
    if (found == inputs.size())
        return false;
    Problem(exporter::PathText(inputs[found]) +
            ": is one of the chat logs being read and would be overwritten; nothing written");
    return true;
}

void CExportRun::ExportToOne(const std::vector<SelectedLog>& selected) {
    CAtomicOutputFile file;
    std::FILE* stream = stdout;
    if (!m_options.output.empty()) {
        std::string error;
        if (!file.Create(fs::u8path(m_options.output), error)) {
            Problem(error);
            return;
        }
        stream = file.Stream();
    }
    COutputSink sink(stream);
    ExportWriterChoice choice = WriterChoice();
    choice.several = selected.size() != 1;
    auto writer = exporter::FormatRow(m_options.format).makeWriter(sink, choice);
    writer->BeginDocument();
    for (std::size_t i = 0; i < selected.size(); ++i) {
        ExportLog(selected[i].source, *writer, sink, nullptr, selected.size() != 1);
        m_progress.Update(i + 1, m_messages, i + 1 == selected.size());
    }
    writer->EndDocument();
    sink.Flush();
    if (m_options.format == ExportFormat::Html && m_matched > kLargePageMessages) {
        m_progress.Clear();
        std::fprintf(stderr,
                     "chatlog-export: %llu messages on one page open slowly in a browser; "
                     "for a page per month write to a folder: -o FOLDER/ --split month\n",
                     static_cast<unsigned long long>(m_matched));
    }
    if (!m_options.output.empty()) {
        std::string error;
        if (!sink.Ok() || !file.Commit(error))
            Problem(error.empty() ? m_options.output + ": cannot write" : error);
    } else if (!sink.Ok() || std::fflush(stdout) != 0) {
        Problem("cannot write to standard output");
    }
}

void CExportRun::ExportToFolder(const std::vector<SelectedLog>& selected) {
    std::vector<ExportIndexEntry> index;
    for (std::size_t i = 0; i < selected.size(); ++i) {
        const SelectedLog& log = selected[i];
        if (m_split != ExportSplit::None) {
            ExportIndexEntry entry;
            if (ExportFriendPages(log, entry))
                index.push_back(entry);
            m_progress.Update(i + 1, m_messages, i + 1 == selected.size());
            continue;
        }
        CAtomicOutputFile file;
        std::string error;
        fs::path path = m_outputFolder / fs::u8path(log.fileName);
        if (!file.Create(path, error)) {
            Problem(error);
            continue;
        }
        COutputSink sink(file.Stream());
        auto writer = exporter::FormatRow(m_options.format).makeWriter(sink, WriterChoice());
        ExportIndexEntry entry;
        writer->BeginDocument();
        bool read = ExportLog(log.source, *writer, sink, &entry, false);
        writer->EndDocument();
        sink.Flush();
        m_progress.Update(i + 1, m_messages, i + 1 == selected.size());
        // A search leaves out the friends it found nothing with.
        if (!read || (m_options.hasGrep && entry.sent + entry.received == 0))
            continue;
        if (!sink.Ok() || !file.Commit(error)) {
            Problem(error.empty() ? exporter::PathText(path) + ": cannot write" : error);
            continue;
        }
        entry.file = log.fileName;
        index.push_back(entry);
    }
    WriteIndex(index);
}

// A friend's pages in a folder of its own, and the friend's index; true when
// the account index lists the friend.
bool CExportRun::ExportFriendPages(const SelectedLog& log, ExportIndexEntry& entry) {
    CFriendPages pages(m_options, m_split, m_outputFolder / fs::u8path(log.fileName),
                       [this](const std::string& text) { Problem(text); });
    COutputSink unused; // the pages have sinks of their own
    m_pages = &pages;
    bool read = ExportLog(log.source, pages, unused, &entry, false);
    m_pages = nullptr;
    // A search leaves out the friends it found nothing with.
    bool keep = read && !(m_options.hasGrep && entry.sent + entry.received == 0);
    if (!pages.Finish(keep))
        return false;
    entry.file = log.fileName + "/index." + exporter::FormatExtension(m_options.format);
    return true;
}

// How the log's pages will be named. Parts of N messages need only a bound
// of their count for the width of their numbers: what the file can hold.
// Months need a walk that sees the messages as the export will (order and
// filters; --grep aside, which can only leave pages out): how many pages at
// most, and whether their months rise.
PageNaming CExportRun::SurveyPages(CChatLogFile& log) {
    if (m_split != ExportSplit::Month) {
        std::uint64_t records = (log.FileSize() - kChatLogHeaderSize) / kChatLogMinRecordLength;
        std::uint64_t perPage = m_options.splitCount ? m_options.splitCount : 1;
        return exporter::ChoosePageNaming(m_split, records / perPage + 1, true);
    }
    CPageSplitter splitter(m_split, 0);
    CExportTimeFormatter formatter(m_options.utc);
    ExportTime time;
    bool byDate = !m_options.fromDate.empty() || !m_options.toDate.empty();
    CReadPageReleaser pages;
    auto visit = [&](ChatLogRecordPos record, std::uint16_t length) {
        pages.Touch(record, length);
        bool sent = chatlog::IsSentRecord(record);
        if (byDate) {
            formatter.Format(chatlog::RecordTime(record), time);
            if (exporter::IsRecordSelected(m_options, sent, time))
                splitter.Next(time.valid ? std::string_view(time.date) : std::string_view());
            return;
        }
        if (!exporter::IsRecordSelected(m_options, sent, time))
            return; // the direction alone: no date is looked at
        char month[7];
        bool dated = formatter.Month(chatlog::RecordTime(record), month);
        splitter.Next(dated ? std::string_view(month, sizeof month) : std::string_view());
    };
    if (m_options.order == ExportOrder::Descending)
        exporter::VisitRecordsReversed(
            [&](auto&& forward) {
                log.VisitRecordLengths([&](ChatLogRecordPos record, std::uint16_t length) {
                    pages.Touch(record, length);
                    forward(record, length);
                });
            },
            visit);
    else
        log.VisitRecordLengths(visit);
    return exporter::ChoosePageNaming(m_split, splitter.Pages(), splitter.KeysRise());
}

void CExportRun::WriteIndex(const std::vector<ExportIndexEntry>& index) {
    CAtomicOutputFile file;
    std::string error;
    std::string name = std::string("index.") + exporter::FormatExtension(m_options.format);
    if (!file.Create(m_outputFolder / name, error)) {
        Problem(error);
        return;
    }
    COutputSink sink(file.Stream());
    exporter::FormatRow(m_options.format).writeIndex(index, sink, WriterChoice());
    sink.Flush();
    if (!sink.Ok() || !file.Commit(error))
        Problem(error.empty() ? name + ": cannot write" : error);
}

void CExportRun::CheckHeader(const CChatLogFile& log, const std::string& name) {
    std::string issues = exporter::DescribeHeaderIssues(log);
    if (!issues.empty())
        Problem(name + ": " + issues);
}

// Streams one log through the writer: the walk in the chosen order, the
// filters, decoding and the damage report. False if it cannot be opened.
bool CExportRun::ExportLog(const ExportSource& source, CExportWriter& writer, COutputSink& sink,
                           ExportIndexEntry* entry, bool lazyBegin) {
    CChatLogFile log;
    if (!OpenLog(log, source.path))
        return false;
    // Streamed once: no need to read the whole log in before the walk.
    log.SetPrefault(false);
    ExportLogWalk walk(writer, sink, entry, m_options.utc);
    walk.name = exporter::PathText(source.path);
    CheckHeader(log, walk.name);
    if (m_pages)
        m_pages->SetNaming(SurveyPages(log));
    ExportFriend& info = walk.info;
    info.key = m_decoder.Decode(log.FriendKey());
    info.name = m_decoder.Decode(log.FriendName());
    info.ownerName = m_decoder.Decode(log.OwnerName());
    info.ownerKey = source.ownerKey;
    info.hasOwnerKey = source.hasOwnerKey;
    info.source = walk.name;
    if (entry) {
        entry->key = info.key;
        entry->name = info.name;
    }
    if (!(m_options.hasGrep && lazyBegin))
        walk.Begin();

    // The search scans the view a window at a time ahead of the walk, and
    // answers for most records from that scan alone.
    std::uint32_t limit = 0;
    const unsigned char* view = log.MapForWalk(limit);
    chatlog::CRecordMatcher matcher(m_search, view, view ? view + limit : nullptr);
    if (m_byteGrep)
        walk.matcher = &matcher;

    auto visit = [&](ChatLogRecordPos record, std::uint16_t length) {
        VisitRecord(walk, record, length);
    };
    if (m_options.order == ExportOrder::Descending)
        exporter::VisitRecordsReversed(
            [&](auto&& forward) {
                log.VisitRecordLengths([&](ChatLogRecordPos record, std::uint16_t length) {
                    walk.pages.Touch(record, length);
                    forward(record, length);
                });
            },
            visit);
    else
        log.VisitRecordLengths(visit);
    if (walk.begun)
        writer.EndFriend();
    ++m_filesDone;
    m_matched += walk.written;
    ReportDamage(walk, log);
    return true;
}

// `length` is the one the walk checked: wLength is not read again, as
// another program may have rewritten it since.
void CExportRun::VisitRecord(ExportLogWalk& walk, ChatLogRecordPos record, std::uint16_t length) {
    ++walk.records;
    walk.pages.Touch(record, length);
    if (!walk.first || record < walk.first)
        walk.first = record;
    if (!walk.end || record + length > walk.end)
        walk.end = record + length;
    // Most texts end with their record; only the others are looked through.
    if (record[length - 1] != 0 &&
        chatlog::RecordContent(record, length).size() == length - kChatLogRecordFixedSize)
        ++walk.unterminated;
    // The filters are independent of each other, so the byte search, the
    // cheapest, goes first.
    if (walk.matcher && !walk.matcher->Find(record, length))
        return;
    bool sent = chatlog::IsSentRecord(record);
    walk.timeFormatter.Format(chatlog::RecordTime(record), walk.time);
    if (!exporter::IsRecordSelected(m_options, sent, walk.time))
        return;
    walk.text.clear();
    m_decoder.Decode(chatlog::RecordContent(record, length), walk.text);
    if (m_options.hasGrep && !m_byteGrep && !exporter::ContainsAsciiFold(walk.text, m_options.grep))
        return;
    walk.Begin();
    ExportMessage message;
    message.sent = sent;
    message.sender = sent ? walk.info.ownerName : walk.info.name;
    message.time = &walk.time;
    message.text = walk.text;
    walk.writer.Message(message);
    ++walk.written;
    if (walk.entry)
        ++(sent ? walk.entry->sent : walk.entry->received);
    if ((++m_messages & 0x3FFF) == 0) {
        walk.sink.MaybeFlush();
        m_progress.Update(m_filesDone, m_messages);
    }
}

// The walk stops at a record that cannot be one; whatever follows it is not
// exported, and the user must know.
void CExportRun::ReportDamage(const ExportLogWalk& walk, const CChatLogFile& log) {
    std::uint64_t walked =
        walk.records ? kChatLogHeaderSize + (walk.end - walk.first) : kChatLogHeaderSize;
    if (walked < log.FileSize())
        Problem(walk.name + ": damaged after " + std::to_string(walk.records) +
                " messages: " + std::to_string(log.FileSize() - walked) + " bytes from offset " +
                std::to_string(walked) + " cannot be read as messages");
    if (walk.unterminated)
        Problem(walk.name + ": " + std::to_string(walk.unterminated) +
                " message(s) without an end mark, cut at the record's end");
}
