// The hits of a search through every friend's log, as the find-in-every-
// friend window lists them. A hit names its friend by tree position and key
// and its record by byte offset in the log file: nothing here points into a
// mapped log, so a log released, changed or removed after the search leaves
// stale numbers at worst, which are checked again when a hit is used.
#pragma once

#include "ChatLogFormat.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One friend with at least one hit.
struct FoundFriend {
    size_t treePosition = 0; // among the friends of the tree, from 0
    std::string key;         // szFriendKey, GBK
    std::string name;        // szFriendName, GBK
};

// One matching record.
struct FoundHit {
    uint32_t friendIndex = 0;  // into the results' friends
    uint32_t offset = 0;       // the record's byte offset in its log file
    int32_t time = 0;          // tTime, for the date and time cells
    uint32_t snippetStart = 0; // the first line's bytes in the results' text store
    uint32_t snippetLength = 0;
};

class CFindAllResults {
public:
    // The most of a message's first line kept for its cell; the control
    // cuts what does not fit its column anyway.
    static constexpr size_t kSnippetBytes = 120;

    // Forgets every hit and gives the memory back.
    void Clear();
    // The friend whose hits follow; entered only once it has one.
    void BeginFriend(size_t treePosition, std::string_view key, std::string_view name);
    // A matching record at `record` in a log whose file starts at `logStart`
    // (the mapped view's first byte).
    void AddHit(ChatLogRecordPos record, const unsigned char* logStart);

    size_t HitCount() const { return m_hits.size(); }
    const FoundHit& Hit(size_t index) const { return m_hits[index]; }
    const FoundFriend& FriendOf(const FoundHit& hit) const { return m_friends[hit.friendIndex]; }
    std::string_view Snippet(const FoundHit& hit) const {
        return std::string_view(m_text).substr(hit.snippetStart, hit.snippetLength);
    }

private:
    std::vector<FoundFriend> m_friends;
    std::vector<FoundHit> m_hits;
    std::string m_text; // every snippet, back to back
    FoundFriend m_pending;
    bool m_pendingEntered = true;
};

namespace viewer {

// The first line of a GBK text (up to its first CR or LF), cut to at most
// maxBytes without splitting a two-byte character.
std::string_view FirstLineSnippet(std::string_view text, size_t maxBytes);

// The row that shows `target` among rowCount rows whose records lie in file
// order (ascending) or in its reverse, recordAt(row) giving a row's record;
// -1 when no row shows it. Records of one log ascend with their addresses.
template <class RecordAt>
long RowOfRecord(size_t rowCount, bool ascending, RecordAt&& recordAt, ChatLogRecordPos target) {
    size_t low = 0, high = rowCount; // file-order positions [low, high)
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        const size_t row = ascending ? middle : rowCount - 1 - middle;
        const ChatLogRecordPos record = recordAt(row);
        if (record == nullptr)
            return -1;
        if (record == target)
            return static_cast<long>(row);
        if (record < target)
            low = middle + 1;
        else
            high = middle;
    }
    return -1;
}

} // namespace viewer
