#include "ChatLogSearch.h"

namespace chatlog {

std::size_t FindNextRecord(const CTextSearch& search, const RecordRun& run, std::size_t from,
                           bool forward) {
    if (search.MatchesNothing() || !run.first || !run.offsets || run.count == 0)
        return kNoRecord;
    CRecordMatcher matcher(search, run.first, run.viewEnd, forward);
    auto matches = [&](std::size_t i) {
        const unsigned char* record = run.first + run.offsets[i];
        return record < run.viewEnd &&
               matcher.Find(record, RecordLengthWithin(record, run.viewEnd));
    };
    if (forward) {
        for (std::size_t i = from == kNoRecord ? 0 : from + 1; i < run.count; ++i)
            if (matches(i))
                return i;
    } else {
        for (std::size_t i = from == kNoRecord || from > run.count ? run.count : from; i-- > 0;)
            if (matches(i))
                return i;
    }
    return kNoRecord;
}

} // namespace chatlog
