// The search over chat logs that the viewer's find and the exporter's --grep
// share: over the raw GBK bytes of the mapped records, never decoding a
// message to look at it.
//
// Needle conversion to GBK is the caller's (a platform job): a needle with a
// character GBK cannot hold is given as CTextSearch(), which finds nothing.
#pragma once

#include "ChatLogFormat.h"
#include "RecordMatcher.h"
#include "TextSearch.h"

#include <cstddef>
#include <cstdint>

namespace chatlog {

// The records of one mapped log in file order, as the message list holds
// them: record i is at first + offsets[i]; offsets ascend. viewEnd is one
// past the mapped bytes the records lie in (no read ever goes beyond it).
struct RecordRun {
    const unsigned char* first = nullptr;
    const std::uint32_t* offsets = nullptr;
    std::size_t count = 0;
    const unsigned char* viewEnd = nullptr;
};

constexpr std::size_t kNoRecord = static_cast<std::size_t>(-1);

// The first record after index `from` (before it when !forward) whose text
// matches; from == kNoRecord starts at the first (forward) or last record.
// kNoRecord when none. Never wraps around. Each record's length is read
// once, when it is looked at, and cut to viewEnd: a log rewritten since the
// run was made gives wrong hits at worst.
std::size_t FindNextRecord(const CTextSearch& search, const RecordRun& run, std::size_t from,
                           bool forward);

// Calls hit(index) for every matching record of the run, in file order.
template <class Hit>
void FindEveryRecord(const CTextSearch& search, const RecordRun& run, Hit&& hit) {
    if (search.MatchesNothing() || !run.first || !run.offsets)
        return;
    CRecordMatcher matcher(search, run.first, run.viewEnd);
    for (std::size_t i = 0; i < run.count; ++i) {
        const unsigned char* record = run.first + run.offsets[i];
        if (record >= run.viewEnd)
            break; // offsets ascend: the rest lie beyond the view too
        if (matcher.Find(record, RecordLengthWithin(record, run.viewEnd)))
            hit(i);
    }
}

// Walks a whole mapped log (view of `size` bytes, header included, as
// VisitChatLogRecords walks it) and calls hit(position) for every matching
// record in file order. For the exporter's --grep and the all-friends search.
template <class Hit>
void FindInLog(const CTextSearch& search, const unsigned char* view, std::uint32_t size,
               Hit&& hit) {
    if (search.MatchesNothing() || !view)
        return;
    CRecordMatcher matcher(search, view, view + size);
    VisitChatLogRecordLengths(view, size, [&](ChatLogRecordPos record, std::uint16_t length) {
        if (matcher.Find(record, length))
            hit(record);
    });
}

} // namespace chatlog
