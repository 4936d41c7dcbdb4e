// A needle prepared once for searching chat log texts in their GBK bytes,
// never decoding them: the byte scan, and the rule that a hit must start and
// end on a character boundary.
#pragma once

#include "ChatLogFormat.h"

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

// A needle prepared once (GBK bytes). Default-constructed, empty, or marked
// unconvertible: matches nothing.
class CTextSearch {
public:
    CTextSearch() = default;
    // gbkNeedle: the needle's GBK bytes; matchCase false folds ASCII A-Z/a-z
    // only, and only where they stand as characters of their own (the trail
    // byte of a two-byte character is compared as it is).
    CTextSearch(std::string_view gbkNeedle, bool matchCase);

    // Nothing to look for: no needle, or one holding a NUL, which no text
    // has before its end.
    bool MatchesNothing() const { return m_needle.empty(); }
    std::size_t NeedleSize() const { return m_needle.size(); }

    // The first match inside this record's text (within its length and
    // before its NUL, starting and ending on GBK character boundaries).
    // `record` is a position a walk delivered; wLength is read here once.
    bool FindInRecord(ChatLogRecordPos record, TextMatch& match) const;
    // The same within `length` bytes, the length the caller read (and
    // checked against its view) once.
    bool FindInRecord(ChatLogRecordPos record, std::uint16_t length, TextMatch& match) const;

    // The first place in [from, to) where the needle's bytes stand (folding
    // applied), character boundaries not looked at; nullptr when none. Never
    // reads outside [from, to).
    const unsigned char* FindBytes(const unsigned char* from, const unsigned char* to) const;

    // Whether needle bytes that FindBytes found at `hit`, inside a text that
    // ends at textEnd (its NUL or its record's end), start and end on
    // character boundaries. `unit` is a character boundary of that text at
    // or before `hit` (the text's start at first); the call moves it on, so
    // the hits of one text are checked in ascending order at a cost of one
    // pass over the text in all.
    bool OnBoundaries(const unsigned char*& unit, const unsigned char* textEnd,
                      const unsigned char* hit) const;

private:
    bool EqualAt(const unsigned char* at) const;

    // The needle with its single-byte letters in lower case where folding,
    // and per byte the bit that folding ignores (0x20 on those letters, 0
    // elsewhere): a text byte t matches needle byte i when
    // (t | m_ignore[i]) == m_needle[i].
    std::string m_needle;
    std::string m_ignore;
    // The needle's last character is a lone lead byte: in a text it must not
    // be followed by a trail byte, or the hit ends inside a character.
    bool m_endsOnLead = false;
};

} // namespace chatlog
