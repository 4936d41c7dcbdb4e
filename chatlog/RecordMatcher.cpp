#include "RecordMatcher.h"

#include <cstddef>
#include <cstring>

namespace chatlog {

namespace {

// At least n bytes from `at` to `end` (either may be past the other).
bool Room(const unsigned char* at, const unsigned char* end, std::size_t n) {
    return end - at >= static_cast<std::ptrdiff_t>(n);
}

const unsigned char* TextEnd(const unsigned char* text, const unsigned char* end) {
    const void* nul = std::memchr(text, 0, static_cast<std::size_t>(end - text));
    return nul ? static_cast<const unsigned char*>(nul) : end;
}

} // namespace

CRecordMatcher::CRecordMatcher(const CTextSearch& search, const unsigned char* viewBegin,
                               const unsigned char* viewEnd, bool ascending)
    : m_search(search), m_viewBegin(viewBegin), m_viewEnd(viewBegin ? viewEnd : nullptr),
      m_ascending(ascending) {}

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
    const bool ahead = m_ascending && (!m_lastText || text >= m_lastText);
    m_lastText = text;
    const unsigned char* hit =
        ahead ? FindAhead(text, end) : m_search.FindInText(text, TextEnd(text, end));
    if (!hit)
        return false;
    if (match) {
        match->offset = static_cast<std::uint32_t>(hit - text);
        match->length = static_cast<std::uint32_t>(n);
    }
    return true;
}

const unsigned char* CRecordMatcher::FindAhead(const unsigned char* text,
                                               const unsigned char* end) {
    const std::size_t n = m_search.NeedleSize();
    const bool passed =
        m_next ? m_next < text : m_scan.stuckAt != nullptr && m_scan.stuckAt <= text;
    if (!m_scan.start || text < m_scan.start || passed) {
        m_scan = ByteScan();
        m_scan.start = text;
        m_next = m_search.ScanBytes(text, m_viewEnd, m_scan);
    }
    // Most records end before the next place.
    if (m_next ? !Room(m_next, end, n) : !m_scan.stuckAt || !Room(m_scan.stuckAt, end, n))
        return nullptr;
    // The text ends at its NUL, looked for only as far as the hits go: a
    // hit after it, and every later one, is none. A hit's own bytes hold no
    // NUL (the needle has none), so before the NUL the record's end serves
    // as the text's end.
    const unsigned char* unit = text;
    const unsigned char* clear = text; // no NUL in [text, clear)
    while (m_next) {
        if (!Room(m_next, end, n))
            return nullptr;
        if (m_next > clear) {
            if (std::memchr(clear, 0, static_cast<std::size_t>(m_next - clear)))
                return nullptr;
            clear = m_next;
        }
        if (m_search.OnBoundaries(unit, end, m_next))
            return m_next;
        m_next = m_search.ScanBytes(m_next + 1, m_viewEnd, m_scan);
    }
    const unsigned char* textEnd = TextEnd(text, end);
    // The scan gave up inside this text: the two-way search decides it.
    if (!Room(m_scan.stuckAt, textEnd, n))
        return nullptr;
    return m_search.FindInTextTwoWay(text, textEnd);
}

} // namespace chatlog
