#include "FindAllResults.h"

#include <algorithm>

void CFindAllResults::Clear() {
    std::vector<FoundFriend>().swap(m_friends);
    std::vector<FoundHit>().swap(m_hits);
    std::string().swap(m_text);
    m_pendingEntered = true;
}

void CFindAllResults::BeginFriend(size_t treePosition, std::string_view key,
                                  std::string_view name) {
    m_pending.treePosition = treePosition;
    m_pending.key.assign(key);
    m_pending.name.assign(name);
    m_pendingEntered = false;
}

void CFindAllResults::AddHit(ChatLogRecordPos record, const unsigned char* logStart) {
    if (!m_pendingEntered) {
        m_friends.push_back(m_pending);
        m_pendingEntered = true;
    }
    const std::string_view line =
        viewer::FirstLineSnippet(chatlog::RecordContent(record), kSnippetBytes);
    FoundHit hit;
    hit.friendIndex = static_cast<uint32_t>(m_friends.size() - 1);
    hit.offset = static_cast<uint32_t>(record - logStart);
    hit.time = chatlog::RecordTime(record);
    hit.snippetStart = static_cast<uint32_t>(m_text.size());
    hit.snippetLength = static_cast<uint32_t>(line.size());
    m_text.append(line);
    m_hits.push_back(hit);
}

namespace viewer {

std::string_view FirstLineSnippet(std::string_view text, size_t maxBytes) {
    const size_t lineEnd = std::min(text.find_first_of("\r\n"), text.size());
    size_t cut = 0;
    // Step character by character: a GBK lead byte (0x81-0xFE) takes the
    // byte after it along, so a cut never falls inside a character.
    while (cut < lineEnd) {
        const auto byte = static_cast<unsigned char>(text[cut]);
        const size_t width = (byte >= 0x81 && byte <= 0xFE && cut + 1 < lineEnd) ? 2 : 1;
        if (cut + width > maxBytes)
            break;
        cut += width;
    }
    return text.substr(0, cut);
}

} // namespace viewer
