#include "TextDecode.h"

namespace exporter {

std::size_t GbkUnitLength(std::string_view text) {
    auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x81 || lead == 0xFF || text.size() < 2)
        return 1;
    auto trail = static_cast<unsigned char>(text[1]);
    return trail >= 0x40 && trail <= 0xFE && trail != 0x7F ? 2 : 1;
}

} // namespace exporter

const CGbkDecoder::Pair& CGbkDecoder::PairOf(unsigned char lead, unsigned char trail) {
    if (m_pairs.empty())
        m_pairs.assign(kLeads * kTrails, Pair{kUnknown, {}});
    Pair& entry = m_pairs[(lead - 0x81u) * kTrails + (trail - 0x40u)];
    if (entry.length == kUnknown) {
        const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        std::string utf8;
        entry.length = kNotGbk;
        if (m_converter.Convert(bytes, 2, utf8) && !utf8.empty() && utf8.size() <= 4) {
            entry.length = static_cast<unsigned char>(utf8.size());
            utf8.copy(entry.utf8, utf8.size());
        }
    }
    return entry;
}

void CGbkDecoder::Decode(std::string_view gbk, std::string& utf8) {
    std::size_t start = 0;
    while (start < gbk.size()) {
        // Runs of ASCII go over in one piece.
        std::size_t i = start;
        while (i < gbk.size() && static_cast<unsigned char>(gbk[i]) < 0x80)
            ++i;
        utf8.append(gbk.data() + start, i - start);
        if (i == gbk.size())
            return;
        std::string_view rest = gbk.substr(i);
        if (exporter::GbkUnitLength(rest) == 1) {
            utf8.append(kReplacementUtf8);
            start = i + 1;
            continue;
        }
        const Pair& entry =
            PairOf(static_cast<unsigned char>(rest[0]), static_cast<unsigned char>(rest[1]));
        if (entry.length == kNotGbk)
            utf8.append(kReplacementUtf8);
        else
            utf8.append(entry.utf8, entry.length);
        start = i + 2;
    }
}

namespace exporter {

namespace {

char FoldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool ContainsAsciiFold(std::string_view text, std::string_view needle) {
    if (needle.empty())
        return true;
    if (needle.size() > text.size())
        return false;
    char first = FoldAscii(needle[0]);
    for (std::size_t i = 0; i + needle.size() <= text.size(); ++i) {
        if (FoldAscii(text[i]) != first)
            continue;
        std::size_t k = 1;
        while (k < needle.size() && FoldAscii(text[i + k]) == FoldAscii(needle[k]))
            ++k;
        if (k == needle.size())
            return true;
    }
    return false;
}

bool IsByteSearchExact(std::string_view utf8Needle, std::string_view gbkNeedle,
                       CGbkDecoder& decoder) {
    return !gbkNeedle.empty() && decoder.Decode(gbkNeedle) == utf8Needle;
}

} // namespace exporter
