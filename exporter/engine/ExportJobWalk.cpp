// The walk of one log within an export: the page survey, the count for the
// progress, and the stream through the writer.
#include "ExportJobRun.h"
#include "ExportText.h"
#include "FriendPages.h"
#include "InputChecks.h"
#include "MappedReadGuard.h"
#include "RecordFilter.h"
#include "RecordOrder.h"

// How the log's pages will be named. Parts of N messages need only a bound
// of their count for the width of their numbers: what the file can hold.
// Months need a walk that sees the messages as the export will (order and
// filters; --grep aside, which can only leave pages out): how many pages at
// most, and whether their months rise.
PageNaming CExportJob::SurveyPages(CChatLogFile& log) {
    if (m_split != ExportSplit::Month) {
        std::uint64_t records =
            (log.FileSize() - chatlog::kChatLogHeaderSize) / chatlog::kChatLogMinRecordLength;
        std::uint64_t perPage = m_options.splitCount ? m_options.splitCount : 1;
        return exporter::ChoosePageNaming(m_split, records / perPage + 1, true);
    }
    CPageSplitter splitter(m_split, 0);
    CExportTimeFormatter formatter(m_options.utc);
    ExportTime time;
    bool byDate = !m_options.fromDate.empty() || !m_options.toDate.empty();
    CReadPageReleaser pages;
    const bool descending = m_options.order == ExportOrder::Descending;
    exporter::VisitLogInOrder(
        log, descending, pages, [&](chatlog::ChatLogRecordPos record, std::uint16_t length) {
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
        });
    return exporter::ChoosePageNaming(m_split, splitter.Pages(), splitter.KeysRise());
}

// The messages of the log that the direction and the dates select, in file
// order (the count is the same in either).
std::uint64_t CExportJob::CountSelected(CChatLogFile& log) {
    CExportTimeFormatter formatter(m_options.utc);
    ExportTime time;
    bool byDate = !m_options.fromDate.empty() || !m_options.toDate.empty();
    CReadPageReleaser pages;
    std::uint64_t count = 0;
    std::uint32_t limit = 0;
    const unsigned char* view = log.MapForWalk(limit);
    CMappedReadGuard guard(view, limit);
    log.VisitRecordLengths([&](chatlog::ChatLogRecordPos record, std::uint16_t length) {
        pages.Touch(record, length);
        if (byDate)
            formatter.Format(chatlog::RecordTime(record), time);
        count += exporter::IsRecordSelected(m_options, chatlog::IsSentRecord(record), time);
    });
    return count;
}

void CExportJob::CheckHeader(const CChatLogFile& log, const std::string& name) {
    std::string issues = exporter::DescribeHeaderIssues(log);
    if (!issues.empty())
        Problem(name + ": " + issues);
}

// Streams one log through the writer: the walk in the chosen order, the
// filters, decoding and the damage report. False if it cannot be opened.
bool CExportJob::ExportLog(const ExportSource& source, CExportWriter& writer, COutputSink& sink,
                           ExportIndexEntry* entry, bool lazyBegin) {
    CChatLogFile log;
    m_progress.friendKey.clear();
    m_progress.friendName.clear();
    if (!OpenLog(log, source.path))
        return false;
    // Streamed once: no need to read the whole log in before the walk.
    log.SetPrefault(false);
    ExportLogWalk walk(writer, sink, entry, m_options.utc);
    walk.name = exporter::PathText(source.path);
    ExportFriend& info = walk.info;
    info.key = m_decoder.Decode(log.FriendKey());
    info.name = m_decoder.Decode(log.FriendName());
    m_progress.friendKey = info.key;
    m_progress.friendName = info.name;
    if (!Report())
        return false;
    // Mapped before the survey's walk, so that a log shrunk under any of the
    // walks ends it as damage.
    std::uint32_t limit = 0;
    const unsigned char* view = log.MapForWalk(limit);
    CMappedReadGuard guard(view, limit);
    CheckHeader(log, walk.name);
    if (m_pages)
        m_pages->SetNaming(SurveyPages(log));
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
    chatlog::CRecordMatcher matcher(m_search, view, view ? view + limit : nullptr);
    if (m_byteGrep)
        walk.matcher = &matcher;
    const bool descending = m_options.order == ExportOrder::Descending;
    exporter::VisitLogInOrder(log, descending, walk.pages,
                              [&](chatlog::ChatLogRecordPos record, std::uint16_t length) {
                                  VisitRecord(walk, record, length);
                              });
    if (m_cancelled)
        return false;
    if (walk.begun) {
        writer.EndFriend();
        ++m_result.friends;
    }
    m_matched += walk.written;
    ReportDamage(walk, log, guard.Shrunk(), source.path);
    return true;
}

// `length` is the one the walk checked: wLength is not read again, as
// another program may have rewritten it since.
void CExportJob::VisitRecord(ExportLogWalk& walk, chatlog::ChatLogRecordPos record,
                             std::uint16_t length) {
    if (m_cancelled)
        return; // the walk runs out without looking at the rest
    ++walk.records;
    walk.pages.Touch(record, length);
    if (!walk.first || record < walk.first)
        walk.first = record;
    if (!walk.end || record + length > walk.end)
        walk.end = record + length;
    // Most texts end with their record; only the others are looked through.
    if (record[length - 1] != 0 &&
        chatlog::RecordContent(record, length).size() == length - chatlog::kChatLogRecordFixedSize)
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
    if ((++m_progress.messagesDone & 0x3FF) == 0) {
        if ((m_progress.messagesDone & 0x3FFF) == 0)
            walk.sink.MaybeFlush();
        Report();
    }
}

// The walk stops at a record that cannot be one; whatever follows it is not
// exported, and the user must know.
//
// A log that shrank while it was walked (the client rewrote it) ends its
// walk where the pages end, in either order; what it no longer holds is not
// exported, and the user is told so instead.
void CExportJob::ReportDamage(const ExportLogWalk& walk, const CChatLogFile& log, bool shrunk,
                              const std::filesystem::path& path) {
    std::error_code ec;
    std::uintmax_t now = std::filesystem::file_size(path, ec);
    std::uint64_t walked = walk.records ? chatlog::kChatLogHeaderSize + (walk.end - walk.first)
                                        : chatlog::kChatLogHeaderSize;
    if (shrunk || (!ec && now < log.FileSize()))
        Damaged(walk.name, walk.name + ": shrank from " + std::to_string(log.FileSize()) + " to " +
                               (ec ? std::string("fewer") : std::to_string(now)) +
                               " bytes while it was read; " + std::to_string(walk.records) +
                               " messages read, the rest not exported");
    else if (walked < log.FileSize())
        Damaged(walk.name, walk.name + ": damaged after " + std::to_string(walk.records) +
                               " messages: " + std::to_string(log.FileSize() - walked) +
                               " bytes from offset " + std::to_string(walked) +
                               " cannot be read as messages");
    if (walk.unterminated)
        Problem(walk.name + ": " + std::to_string(walk.unterminated) +
                " message(s) without an end mark, cut at the record's end");
}
