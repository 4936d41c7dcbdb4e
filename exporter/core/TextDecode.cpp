#include "TextDecode.h"

std::size_t GbkUnitLength(std::string_view text) {
    auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x81 || lead == 0xFF || text.size() < 2)
        return 1;
    auto trail = static_cast<unsigned char>(text[1]);
    return trail >= 0x40 && trail <= 0xFE && trail != 0x7F ? 2 : 1;
}

void CGbkDecoder::Decode(std::string_view gbk, std::string& utf8) {
    bool ascii = true;
    for (char c : gbk)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) {
        utf8.append(gbk);
        return;
    }
    if (m_converter.Convert(gbk.data(), gbk.size(), utf8))
        return;
    // Something in the text is not GBK: go unit by unit so that only the bad
    // units are replaced. Runs of ASCII are copied as they are.
    while (!gbk.empty()) {
        std::size_t length = GbkUnitLength(gbk);
        auto first = static_cast<unsigned char>(gbk[0]);
        if (first < 0x80)
            utf8.push_back(gbk[0]);
        else if (!m_converter.Convert(gbk.data(), length, utf8))
            utf8.append(kReplacementUtf8);
        gbk.remove_prefix(length);
    }
}

namespace {

char foldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool ContainsAsciiFold(std::string_view text, std::string_view needle) {
    if (needle.empty())
        return true;
    if (needle.size() > text.size())
        return false;
    char first = foldAscii(needle[0]);
    for (std::size_t i = 0; i + needle.size() <= text.size(); ++i) {
        if (foldAscii(text[i]) != first)
            continue;
        std::size_t k = 1;
        while (k < needle.size() && foldAscii(text[i + k]) == foldAscii(needle[k]))
            ++k;
        if (k == needle.size())
            return true;
    }
    return false;
}
