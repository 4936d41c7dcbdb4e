// Text of the chat logs as the exporter writes it: GBK decoded to UTF-8 with
// U+FFFD for what is not GBK, and the --grep match.
#pragma once

#include "GbkConverter.h"

#include <string>
#include <string_view>

// The UTF-8 of U+FFFD, the replacement character.
constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

#include <vector>

class CGbkDecoder {
public:
    // Appends the UTF-8 of `gbk` to `utf8`. Every byte sequence that is not
    // a GBK character becomes one U+FFFD and decoding goes on after it, so a
    // damaged text still comes out, as far as it is readable.
    void Decode(std::string_view gbk, std::string& utf8);
    std::string Decode(std::string_view gbk) {
        std::string utf8;
        Decode(gbk, utf8);
        return utf8;
    }

private:
    // GBK has no shift states: a two-byte character always decodes the same
    // way. Each one is asked of the system once and remembered here (a fixed
    // table of every lead and trail byte pair, filled as pairs turn up), as
    // a system call per message costs more than the rest of an export.
    static constexpr std::size_t kLeads = 0xFE - 0x81 + 1;
    static constexpr std::size_t kTrails = 0xFE - 0x40 + 1;
    static constexpr unsigned char kUnknown = 0;
    static constexpr unsigned char kNotGbk = 0xFF;
    struct Pair {
        unsigned char length; // UTF-8 bytes, or kUnknown / kNotGbk
        char utf8[4];
    };
    const Pair& PairOf(unsigned char lead, unsigned char trail);

    std::vector<Pair> m_pairs;
    CGbkConverter m_converter;
};

namespace exporter {

// Length of the GBK unit at the start of `text` (not empty): 2 for a lead
// byte 0x81-0xFE followed by a trail byte 0x40-0xFE other than 0x7F, else 1.
std::size_t GbkUnitLength(std::string_view text);

// Whether `text` contains `needle`, ASCII letters compared without regard to
// case and every other byte exactly (so UTF-8 never matches half a
// character). An empty needle is found everywhere.
bool ContainsAsciiFold(std::string_view text, std::string_view needle);

// Whether --grep may search the GBK bytes of the logs for `gbkNeedle` (the
// needle `utf8Needle` converted, empty when it could not be) and find
// exactly the messages whose decoded text holds the needle. So it is when
// the needle decodes back to itself: every GBK character decodes to one
// character of its own, so a needle of such characters stands in a decoded
// text exactly where its bytes stand, on character boundaries, in the log.
// Not so for a needle holding U+FFFD (what undecodable bytes become) or a
// character GBK lacks: those are matched on the decoded text.
bool IsByteSearchExact(std::string_view utf8Needle, std::string_view gbkNeedle,
                       CGbkDecoder& decoder);

} // namespace exporter
