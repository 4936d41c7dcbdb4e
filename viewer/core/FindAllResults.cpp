#include "FindAllResults.h"

#include <algorithm>
#include <string>

void CFindAllResults::Clear() {
    std::vector<FoundFriend>().swap(m_friends);
    std::vector<FoundHit>().swap(m_hits);
    std::string().swap(m_text);
    m_pendingEntered = true;
    m_total = 0;
    m_skippedLogs = 0;
}

void CFindAllResults::BeginFriend(size_t treePosition, std::string_view key,
                                  std::string_view name) {
    m_pending.treePosition = treePosition;
    m_pending.key.assign(key);
    m_pending.name.assign(name);
    m_pendingEntered = false;
}

void CFindAllResults::AddHit(const chatlog::CTextSearch& search, chatlog::ChatLogRecordPos record,
                             std::uint16_t length, std::uint64_t offset) {
    ++m_total;
    if (m_hits.size() >= kMaxKeptHits)
        return;
    if (!m_pendingEntered) {
        m_friends.push_back(m_pending);
        m_pendingEntered = true;
    }
    const std::string_view text = chatlog::RecordContent(record, length);
    chatlog::TextMatch match;
    if (!search.FindInRecord(record, length, match))
        match = {};
    const std::string_view line =
        viewer::MatchLineSnippet(text, match.offset, match.length, kSnippetBytes);
    FoundHit hit;
    hit.friendIndex = static_cast<uint32_t>(m_friends.size() - 1);
    hit.offset = static_cast<uint32_t>(offset);
    hit.time = chatlog::RecordTime(record);
    hit.snippetStart = static_cast<uint32_t>(m_text.size());
    hit.snippetLength = static_cast<uint32_t>(line.size());
    m_text.append(line);
    m_hits.push_back(hit);
}

namespace viewer {

namespace {

// The width of the GBK character at `at`: a lead byte (0x81-0xFE) takes the
// byte after it along, unless the line ends there.
size_t CharacterWidth(std::string_view text, size_t at, size_t end) {
    const auto byte = static_cast<unsigned char>(text[at]);
    return (byte >= 0x81 && byte <= 0xFE && at + 1 < end) ? 2 : 1;
}

std::wstring Grouped(size_t number) {
    std::wstring digits = std::to_wstring(number);
    for (size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, 1, L',');
    return digits;
}

} // namespace

std::string_view MatchLineSnippet(std::string_view text, size_t at, size_t length,
                                  size_t maxBytes) {
    at = std::min(at, text.size());
    // CR and LF are never the trail byte of a character: a byte search finds
    // the line's ends, and a character starts after either.
    const size_t before = at == 0 ? std::string_view::npos : text.find_last_of("\r\n", at - 1);
    const size_t lineStart = before == std::string_view::npos ? 0 : before + 1;
    const size_t lineEnd = std::min(text.find_first_of("\r\n", at), text.size());
    size_t start = lineStart;
    // Characters are told apart only from the line's start on.
    const size_t lead = maxBytes / 4;
    if (at + length - lineStart > maxBytes) {
        while (start < at && at - start > lead)
            start += CharacterWidth(text, start, lineEnd);
    }
    size_t cut = start;
    while (cut < lineEnd) {
        const size_t width = CharacterWidth(text, cut, lineEnd);
        if (cut + width - start > maxBytes)
            break;
        cut += width;
    }
    return text.substr(start, cut - start);
}

std::wstring FindAllCountText(size_t total, size_t kept, size_t skippedLogs) {
    std::wstring text = L"共 " + Grouped(total) + L" 条";
    if (kept < total)
        text += L"，显示前 " + Grouped(kept) + L" 条";
    if (skippedLogs > 0)
        text += L"；" + Grouped(skippedLogs) + L" 个好友的记录无法读取，已跳过";
    return text;
}

} // namespace viewer
