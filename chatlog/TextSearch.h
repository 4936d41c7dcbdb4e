// A needle prepared once for searching chat log texts in their GBK bytes,
// never decoding them: the byte scan, and the rule that a hit must start and
// end on a character boundary.
#pragma once

#include "ChatLogFormat.h"
#include "TwoWayMatch.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace chatlog {

// Where a match lies in one record's text: byte offset from the start of its
// szContent and byte length (both in the GBK bytes).
struct TextMatch {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

// Whether this processor runs the sixteen-byte scan (SSE2): always on
// x86-64, asked of the processor on 32-bit x86 (the shipped build runs on
// processors without it too), never elsewhere.
bool CpuHasSse2();

// How far one byte scan (CTextSearch::ScanBytes, called on and on) has got:
// where it began, the bytes its checks of candidate places compared, and
// the place from which it gave up, when it did. No needle stands anywhere
// in [start, stuckAt) that the scan has not returned.
struct ByteScan {
    const unsigned char* start = nullptr;
    std::size_t work = 0;
    const unsigned char* stuckAt = nullptr;
};

// A needle prepared once (GBK bytes). Default-constructed, empty, or marked
// unconvertible: matches nothing. Every search takes time linear in the
// text searched, whatever the needle.
class CTextSearch {
public:
    CTextSearch() = default;
    // gbkNeedle: the needle's GBK bytes; matchCase false folds ASCII A-Z/a-z
    // only, and only where they stand as characters of their own (the trail
    // byte of a two-byte character is compared as it is). wideScan false
    // keeps to the byte-at-a-time scan even where the processor has SSE2.
    CTextSearch(std::string_view gbkNeedle, bool matchCase, bool wideScan = true);

    // Nothing to look for: no needle, or one holding a NUL, which no text
    // has before its end.
    bool MatchesNothing() const { return m_needle.empty(); }
    std::size_t NeedleSize() const { return m_needle.size(); }
    // The sixteen-byte scan is in use.
    bool WideScan() const { return m_wide; }

    // The first match inside this record's text (within its length and
    // before its NUL, starting and ending on GBK character boundaries).
    // `record` is a position a walk delivered; wLength is read here once.
    bool FindInRecord(ChatLogRecordPos record, TextMatch& match) const;
    // The same within `length` bytes, the length the caller read (and
    // checked against its view) once.
    bool FindInRecord(ChatLogRecordPos record, std::uint16_t length, TextMatch& match) const;

    // The first match in the text [text, textEnd) (textEnd: its NUL or its
    // record's end) that starts and ends on character boundaries; nullptr
    // when none.
    const unsigned char* FindInText(const unsigned char* text, const unsigned char* textEnd) const;
    // The same without the byte scan: for a text where a scan gave up.
    const unsigned char* FindInTextTwoWay(const unsigned char* text,
                                          const unsigned char* textEnd) const;

    // The first place in [from, to) where the needle's bytes stand (folding
    // applied), character boundaries not looked at; nullptr when none or
    // when the scan gives up (scan.stuckAt set): it does so where checking
    // its candidates has cost several times the bytes it passed over, the
    // sign of a text that only the two-way search gets through in linear
    // time. `scan` carries over from call to call (set its start before the
    // first). Never reads outside [from, to).
    const unsigned char* ScanBytes(const unsigned char* from, const unsigned char* to,
                                   ByteScan& scan) const;

    // Whether needle bytes found at `hit`, inside a text that ends at
    // textEnd (its NUL or its record's end), start and end on character
    // boundaries. `unit` is a character boundary of that text at or before
    // `hit` (the text's start at first); the call moves it on, so the hits
    // of one text are checked in ascending order at a cost of one pass over
    // the text in all.
    bool OnBoundaries(const unsigned char*& unit, const unsigned char* textEnd,
                      const unsigned char* hit) const;

private:
    // The needle with its single-byte letters in lower case where folding,
    // and per byte the bit that folding ignores (0x20 on those letters, 0
    // elsewhere): a text byte t matches needle byte i when
    // (t | m_ignore[i]) == m_needle[i].
    std::string m_needle;
    std::string m_ignore;
    // Some byte is folded: the two-way search then looks at the text with
    // its own single-byte letters in lower case.
    bool m_folds = false;
    // The needle's last character is a lone lead byte: in a text it must not
    // be followed by a trail byte, or the hit ends inside a character.
    bool m_endsOnLead = false;
    bool m_wide = false;
    CTwoWayMatch m_twoWay;
};

} // namespace chatlog
