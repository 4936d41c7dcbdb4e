#include "TextSearch.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace chatlog {

namespace {

// GBK: a lead byte 0x81-0xFE followed by a trail byte 0x40-0xFE other than
// 0x7F is one character; every other byte is a character of its own.
bool IsLead(unsigned char c) {
    return c >= 0x81 && c != 0xFF;
}
bool IsTrail(unsigned char c) {
    return c >= 0x40 && c != 0x7F && c != 0xFF;
}
std::size_t UnitLength(const unsigned char* at, const unsigned char* end) {
    return IsLead(at[0]) && end - at >= 2 && IsTrail(at[1]) ? 2 : 1;
}

} // namespace

CTextSearch::CTextSearch(std::string_view gbkNeedle, bool matchCase) {
    if (gbkNeedle.empty() || gbkNeedle.find('\0') != std::string_view::npos)
        return;
    m_needle.assign(gbkNeedle);
    m_ignore.assign(gbkNeedle.size(), '\0');
    const auto* bytes = reinterpret_cast<const unsigned char*>(m_needle.data());
    const auto* end = bytes + m_needle.size();
    for (const unsigned char* at = bytes; at < end;) {
        const std::size_t unit = UnitLength(at, end);
        const std::size_t i = static_cast<std::size_t>(at - bytes);
        if (unit == 1 && !matchCase && ((*at | 0x20) >= 'a' && (*at | 0x20) <= 'z')) {
            m_needle[i] = static_cast<char>(*at | 0x20);
            m_ignore[i] = 0x20;
        }
        m_endsOnLead = unit == 1 && IsLead(*at);
        at += unit;
    }
}

bool CTextSearch::EqualAt(const unsigned char* at) const {
    for (std::size_t i = 0; i < m_needle.size(); ++i)
        if ((at[i] | static_cast<unsigned char>(m_ignore[i])) !=
            static_cast<unsigned char>(m_needle[i]))
            return false;
    return true;
}

const unsigned char* CTextSearch::FindBytes(const unsigned char* from,
                                            const unsigned char* to) const {
    const std::size_t n = m_needle.size();
    if (n == 0 || !from || to <= from || static_cast<std::size_t>(to - from) < n)
        return nullptr;
    const unsigned char* const last = to - n; // the last place a hit can start
    const unsigned char* at = from;
#if defined(__SSE2__)
    // Sixteen places at once: a place is worth a full comparison only where
    // the needle's first and last bytes both stand (folding is an OR with
    // 0x20, exact for letters, so the filter misses no hit).
    const __m128i first = _mm_set1_epi8(m_needle[0]);
    const __m128i firstIgnore = _mm_set1_epi8(m_ignore[0]);
    const __m128i lastByte = _mm_set1_epi8(m_needle[n - 1]);
    const __m128i lastIgnore = _mm_set1_epi8(m_ignore[n - 1]);
    // Places at..at+15 all exist, and the second load ends at to - 1.
    while (last - at >= 15) {
        const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        const __m128i tail = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + n - 1));
        const __m128i both =
            _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(head, firstIgnore), first),
                          _mm_cmpeq_epi8(_mm_or_si128(tail, lastIgnore), lastByte));
        unsigned bits = static_cast<unsigned>(_mm_movemask_epi8(both));
        while (bits) {
            const unsigned k = static_cast<unsigned>(__builtin_ctz(bits));
            if (EqualAt(at + k))
                return at + k;
            bits &= bits - 1;
        }
        at += 16;
    }
#else
    if (m_ignore[0] == 0) {
        const unsigned char first = static_cast<unsigned char>(m_needle[0]);
        while (at <= last) {
            at = static_cast<const unsigned char*>(
                std::memchr(at, first, static_cast<std::size_t>(last - at) + 1));
            if (!at)
                return nullptr;
            if (EqualAt(at))
                return at;
            ++at;
        }
        return nullptr;
    }
#endif
    for (; at <= last; ++at)
        if (EqualAt(at))
            return at;
    return nullptr;
}

bool CTextSearch::OnBoundaries(const unsigned char*& unit, const unsigned char* textEnd,
                               const unsigned char* hit) const {
    while (unit < hit)
        unit += UnitLength(unit, textEnd);
    if (unit != hit)
        return false; // starts on the trail byte of a character
    const unsigned char* hitEnd = hit + m_needle.size();
    // Inside the hit the text's characters are the needle's (folding keeps
    // every byte's kind); only a lone lead byte at its end may pair with the
    // text's next byte.
    return !(m_endsOnLead && hitEnd < textEnd && IsTrail(*hitEnd));
}

bool CTextSearch::FindInRecord(ChatLogRecordPos record, TextMatch& match) const {
    return record && FindInRecord(record, RecordLength(record), match);
}

bool CTextSearch::FindInRecord(ChatLogRecordPos record, std::uint16_t length,
                               TextMatch& match) const {
    if (MatchesNothing() || !record || length <= kChatLogRecordFixedSize)
        return false;
    const unsigned char* text = record + kChatLogRecordFixedSize;
    const std::size_t room = length - kChatLogRecordFixedSize;
    if (room < m_needle.size())
        return false;
    const void* nul = std::memchr(text, 0, room);
    const unsigned char* textEnd = nul ? static_cast<const unsigned char*>(nul) : text + room;
    const unsigned char* unit = text;
    for (const unsigned char* from = text;;) {
        const unsigned char* hit = FindBytes(from, textEnd);
        if (!hit)
            return false;
        if (OnBoundaries(unit, textEnd, hit)) {
            match.offset = static_cast<std::uint32_t>(hit - text);
            match.length = static_cast<std::uint32_t>(m_needle.size());
            return true;
        }
        from = hit + 1;
    }
}

} // namespace chatlog
