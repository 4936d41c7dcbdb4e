// chatlog-export --list: each friend's key, nickname, message count and
// first and last date, in the order the viewer's friend tree shows them.
#include "ExportJobRun.h"
#include "ExportText.h"
#include "MappedReadGuard.h"

#include <cstdint>

ExportJobResult CExportJob::List(std::vector<ExportFriendSummary>& friends) {
    std::vector<ExportSource> sources;
    if (!CollectInputs(sources)) {
        m_result.refused = true;
        return m_result;
    }
    CExportTimeFormatter formatter(m_options.utc);
    ExportTime time;
    for (const ExportSource& source : sources) {
        CChatLogFile log;
        if (!OpenLog(log, source.path))
            continue; // the tree leaves it out too
        log.SetPrefault(false);
        ExportFriendSummary summary;
        summary.key = m_decoder.Decode(log.FriendKey());
        summary.name = m_decoder.Decode(log.FriendName());
        summary.path = exporter::PathText(source.path);
        std::uint32_t limit = 0;
        const unsigned char* view = log.MapForWalk(limit);
        CMappedReadGuard guard(view, limit);
        CReadPageReleaser pages;
        std::int32_t first = 0, last = 0;
        log.VisitRecordLengths([&](chatlog::ChatLogRecordPos record, std::uint16_t length) {
            pages.Touch(record, length);
            std::int32_t t = chatlog::RecordTime(record);
            first = summary.messages == 0 || t < first ? t : first;
            last = summary.messages == 0 || t > last ? t : last;
            ++summary.messages;
        });
        if (summary.messages) {
            formatter.Format(first, time);
            summary.firstDate = time.valid ? time.date : std::string();
            formatter.Format(last, time);
            summary.lastDate = time.valid ? time.date : std::string();
        }
        friends.push_back(std::move(summary));
    }
    return m_result;
}
