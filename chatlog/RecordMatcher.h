// Answers "does this record's text hold the needle" for the records of one
// mapped view. Asked in file order, it scans on from record to record to
// the next place where the needle's bytes stand, instead of a search per
// record: most records then cost a look at their length, and a record is
// left at its first hit on character boundaries.
#pragma once

#include "ChatLogFormat.h"
#include "TextSearch.h"

#include <cstdint>

namespace chatlog {

class CRecordMatcher {
public:
    // The records asked about lie in [viewBegin, viewEnd); no read ever
    // leaves it. `search` must outlive the matcher. ascending false: the
    // records will be asked from the last to the first, so each is searched
    // on its own (a scan ahead would pass over the records already asked).
    CRecordMatcher(const CTextSearch& search, const unsigned char* viewBegin,
                   const unsigned char* viewEnd, bool ascending = true);

    // The first match in the text of the record at `record`, `length` bytes
    // long as the caller read it once (cut to the view here). Records may be
    // asked in any order; asked in file order each byte is scanned once, in
    // any other order each record is searched on its own.
    bool Find(ChatLogRecordPos record, std::uint32_t length, TextMatch* match = nullptr);

private:
    const unsigned char* FindAhead(const unsigned char* text, const unsigned char* end);

    const CTextSearch& m_search;
    const unsigned char* m_viewBegin;
    const unsigned char* m_viewEnd;
    bool m_ascending;
    const unsigned char* m_lastText = nullptr;
    // The scan ahead: no needle's bytes stand in [m_scan.start, m_next), or
    // while m_next is null, up to m_scan.stuckAt when the scan gave up, else
    // up to the view's end.
    ByteScan m_scan;
    const unsigned char* m_next = nullptr;
};

} // namespace chatlog
