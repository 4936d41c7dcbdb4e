#include "TextSearch.h"

#include <cstring>
#include <vector>

#if defined(__i386__) || defined(__x86_64__)
#define CHATLOG_X86 1
#include <cpuid.h>
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

struct NeedleBytes {
    const unsigned char* bytes;
    const unsigned char* ignore;
    std::size_t size;
};

enum class Verdict { kNo, kHit, kStuck };

// Checks the candidate place `at` byte by byte. Before that, gives up when
// the checks so far have compared more than four bytes per byte passed over
// (plus room for the first few): past that, the text repeats the needle's
// beginning so often that checking on would cost the needle's length at
// almost every place.
inline Verdict Check(const NeedleBytes& k, const unsigned char* at, ByteScan& scan) {
    if (scan.work > 4 * static_cast<std::size_t>(at - scan.start) + 2 * k.size + 256) {
        scan.stuckAt = at;
        return Verdict::kStuck;
    }
    std::size_t i = 0;
    while (i < k.size && (at[i] | k.ignore[i]) == k.bytes[i])
        ++i;
    scan.work += i + 1;
    return i == k.size ? Verdict::kHit : Verdict::kNo;
}

// Places `at` up to `last`, one at a time; the first byte filters.
const unsigned char* ScanNarrow(const NeedleBytes& k, const unsigned char* at,
                                const unsigned char* last, ByteScan& scan) {
    const unsigned char first = k.bytes[0];
    const unsigned char firstIgnore = k.ignore[0];
    while (at <= last) {
        if (firstIgnore == 0) {
            at = static_cast<const unsigned char*>(
                std::memchr(at, first, static_cast<std::size_t>(last - at) + 1));
            if (!at)
                return nullptr;
        } else if ((*at | firstIgnore) != first) {
            ++at;
            continue;
        }
        const Verdict verdict = Check(k, at, scan);
        if (verdict != Verdict::kNo)
            return verdict == Verdict::kHit ? at : nullptr;
        ++at;
    }
    return nullptr;
}

#if defined(CHATLOG_X86)
// Sixteen places at once: a place is worth a check only where the needle's
// first and last bytes both stand (folding is an OR with 0x20, exact for
// letters, so the filter misses no hit). Compiled for SSE2 whatever the
// build's baseline; called only where the processor has it. Leaves `at` at
// the first place it has not looked at.
__attribute__((target("sse2"))) const unsigned char* ScanWide(const NeedleBytes& k,
                                                              const unsigned char*& at,
                                                              const unsigned char* last,
                                                              ByteScan& scan) {
    const std::size_t n = k.size;
    const __m128i first = _mm_set1_epi8(static_cast<char>(k.bytes[0]));
    const __m128i firstIgnore = _mm_set1_epi8(static_cast<char>(k.ignore[0]));
    const __m128i lastByte = _mm_set1_epi8(static_cast<char>(k.bytes[n - 1]));
    const __m128i lastIgnore = _mm_set1_epi8(static_cast<char>(k.ignore[n - 1]));
    // Places at..at+15 all exist, and the second load ends at last + n.
    while (last - at >= 15) {
        const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        const __m128i tail = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + n - 1));
        const __m128i both =
            _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(head, firstIgnore), first),
                          _mm_cmpeq_epi8(_mm_or_si128(tail, lastIgnore), lastByte));
        unsigned bits = static_cast<unsigned>(_mm_movemask_epi8(both));
        while (bits) {
            const unsigned place = static_cast<unsigned>(__builtin_ctz(bits));
            const Verdict verdict = Check(k, at + place, scan);
            if (verdict != Verdict::kNo)
                return verdict == Verdict::kHit ? at + place : nullptr;
            bits &= bits - 1;
        }
        at += 16;
    }
    return nullptr;
}
#endif

} // namespace

bool CpuHasSse2() {
#if defined(__x86_64__) || defined(__SSE2__)
    return true;
#elif defined(CHATLOG_X86)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    return __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (edx & bit_SSE2) != 0;
#else
    return false;
#endif
}

CTextSearch::CTextSearch(std::string_view gbkNeedle, bool matchCase, bool wideScan) {
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
            m_folds = true;
        }
        m_endsOnLead = unit == 1 && IsLead(*at);
        at += unit;
    }
    static const bool sse2 = CpuHasSse2();
    m_wide = wideScan && sse2;
    m_twoWay = CTwoWayMatch(m_needle);
}

const unsigned char* CTextSearch::ScanBytes(const unsigned char* from, const unsigned char* to,
                                            ByteScan& scan) const {
    const std::size_t n = m_needle.size();
    if (n == 0 || !from || to <= from || static_cast<std::size_t>(to - from) < n || scan.stuckAt)
        return nullptr;
    if (!scan.start)
        scan.start = from;
    const NeedleBytes k{reinterpret_cast<const unsigned char*>(m_needle.data()),
                        reinterpret_cast<const unsigned char*>(m_ignore.data()), n};
    const unsigned char* const last = to - n; // the last place a hit can start
    const unsigned char* at = from;
#if defined(CHATLOG_X86)
    if (m_wide) {
        const unsigned char* hit = ScanWide(k, at, last, scan);
        if (hit || scan.stuckAt)
            return hit;
    }
#endif
    return ScanNarrow(k, at, last, scan);
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

const unsigned char* CTextSearch::FindInText(const unsigned char* text,
                                             const unsigned char* textEnd) const {
    if (MatchesNothing() || !text || textEnd <= text ||
        static_cast<std::size_t>(textEnd - text) < m_needle.size())
        return nullptr;
    ByteScan scan;
    scan.start = text;
    const unsigned char* unit = text;
    for (const unsigned char* from = text;;) {
        const unsigned char* hit = ScanBytes(from, textEnd, scan);
        if (!hit)
            return scan.stuckAt ? FindInTextTwoWay(text, textEnd) : nullptr;
        if (OnBoundaries(unit, textEnd, hit))
            return hit;
        from = hit + 1;
    }
}

const unsigned char* CTextSearch::FindInTextTwoWay(const unsigned char* text,
                                                   const unsigned char* textEnd) const {
    if (MatchesNothing() || !text || textEnd <= text)
        return nullptr;
    const std::size_t size = static_cast<std::size_t>(textEnd - text);
    // Folded by the text's own characters: a hit that starts on a boundary
    // has its characters where the needle has its own, so its single-byte
    // letters meet the needle's single-byte letters (both in lower case)
    // and its two-byte characters the needle's, compared as they are.
    std::vector<unsigned char> folded;
    const unsigned char* bytes = text;
    if (m_folds) {
        folded.assign(text, textEnd);
        for (std::size_t i = 0; i < size;) {
            const std::size_t unit = UnitLength(text + i, textEnd);
            if (text[i] >= 'A' && text[i] <= 'Z')
                folded[i] = static_cast<unsigned char>(text[i] | 0x20);
            i += unit;
        }
        bytes = folded.data();
    }
    const unsigned char* unit = text;
    const unsigned char* found = nullptr;
    m_twoWay.ForEach(bytes, size, [&](std::size_t offset) {
        if (!OnBoundaries(unit, textEnd, text + offset))
            return false;
        found = text + offset;
        return true;
    });
    return found;
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
    const unsigned char* hit = FindInText(text, textEnd);
    if (!hit)
        return false;
    match.offset = static_cast<std::uint32_t>(hit - text);
    match.length = static_cast<std::uint32_t>(m_needle.size());
    return true;
}

} // namespace chatlog
