// Answers "does this record's text hold the needle" for the records of one
// mapped view, from one scan over a window of the view's bytes instead of a
// search per record: most records then cost a look at their length.
#pragma once

#include "ChatLogFormat.h"
#include "TextSearch.h"

#include <cstdint>
#include <vector>

namespace chatlog {

class CRecordMatcher {
public:
    // The records asked about lie in [viewBegin, viewEnd); no read ever
    // leaves it. `search` must outlive the matcher.
    CRecordMatcher(const CTextSearch& search, const unsigned char* viewBegin,
                   const unsigned char* viewEnd);

    // The first match in the text of the record at `record`, `length` bytes
    // long as the caller read it once (cut to the view here). Records may be
    // asked in any order; asking them in file order or in its reverse scans
    // each byte once.
    bool Find(ChatLogRecordPos record, std::uint32_t length, TextMatch* match = nullptr);

    // The windows scanned at once: the first is small, so that a search
    // that stops at a near record (find next) scans little; each next one
    // is twice as large, up to a size that stays in the cache while its
    // records are asked about. A record longer than a window widens it.
    static constexpr std::size_t kFirstWindow = 4 * 1024;
    static constexpr std::size_t kWindow = 256 * 1024;

private:
    void Scan(const unsigned char* from, const unsigned char* to);

    const CTextSearch& m_search;
    const unsigned char* m_viewBegin;
    const unsigned char* m_viewEnd;
    // Every place in [m_windowBegin, m_windowEnd) where the needle's bytes
    // stand, ascending.
    const unsigned char* m_windowBegin = nullptr;
    const unsigned char* m_windowEnd = nullptr;
    std::vector<const unsigned char*> m_hits;
    std::size_t m_window = kFirstWindow;
};

} // namespace chatlog
