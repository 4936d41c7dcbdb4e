#include "RecordMatcher.h"

#include <algorithm>
#include <cstring>

namespace chatlog {

CRecordMatcher::CRecordMatcher(const CTextSearch& search, const unsigned char* viewBegin,
                               const unsigned char* viewEnd)
    : m_search(search), m_viewBegin(viewBegin), m_viewEnd(viewBegin ? viewEnd : nullptr) {}

void CRecordMatcher::Scan(const unsigned char* from, const unsigned char* to) {
    m_hits.clear();
    for (const unsigned char* at = from; (at = m_search.FindBytes(at, to)) != nullptr; ++at)
        m_hits.push_back(at);
    m_windowBegin = from;
    m_windowEnd = to;
    if (m_window < kWindow)
        m_window *= 2;
}

bool CRecordMatcher::Find(ChatLogRecordPos record, std::uint32_t length, TextMatch* match) {
    const std::size_t n = m_search.NeedleSize();
    if (n == 0 || !record || record < m_viewBegin || record >= m_viewEnd)
        return false;
    const std::size_t room = static_cast<std::size_t>(m_viewEnd - record);
    const std::size_t size = length < room ? length : room;
    if (size < kChatLogRecordFixedSize + n)
        return false;
    const unsigned char* text = record + kChatLogRecordFixedSize;
    const unsigned char* end = record + size;
    if (text < m_windowBegin || end > m_windowEnd) {
        // A new window, on in the direction the records are asked in: from
        // this text on, or back from its end.
        if (!m_windowEnd || text >= m_windowBegin) {
            const std::size_t ahead = static_cast<std::size_t>(m_viewEnd - text);
            const unsigned char* to = text + (ahead < m_window ? ahead : m_window);
            Scan(text, to > end ? to : end);
        } else {
            const std::size_t behind = static_cast<std::size_t>(end - m_viewBegin);
            const unsigned char* from = end - (behind < m_window ? behind : m_window);
            Scan(from < text ? from : text, end);
        }
    }
    auto hit = std::lower_bound(m_hits.begin(), m_hits.end(), text);
    if (hit == m_hits.end() || static_cast<std::size_t>(end - *hit) < n)
        return false;
    const void* nul = std::memchr(text, 0, static_cast<std::size_t>(end - text));
    const unsigned char* textEnd = nul ? static_cast<const unsigned char*>(nul) : end;
    const unsigned char* unit = text;
    for (; hit != m_hits.end() && *hit < textEnd && static_cast<std::size_t>(textEnd - *hit) >= n;
         ++hit) {
        if (m_search.OnBoundaries(unit, textEnd, *hit)) {
            if (match) {
                match->offset = static_cast<std::uint32_t>(*hit - text);
                match->length = static_cast<std::uint32_t>(n);
            }
            return true;
        }
    }
    return false;
}

} // namespace chatlog
