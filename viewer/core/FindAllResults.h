// The hits of a search through every friend's log, as the find-in-every-
// friend window lists them. A hit names its friend by tree position and key
// and its record by byte offset in the log file: nothing here points into a
// mapped log, so a log released, changed or removed after the search leaves
// stale numbers at worst, which are checked again when a hit is used.
#pragma once

#include "ChatLogFormat.h"
#include "TextSearch.h"

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
    uint32_t snippetStart = 0; // the matching line's bytes in the results' text store
    uint32_t snippetLength = 0;
};

class CFindAllResults {
public:
    // The most of a message's matching line kept for its cell; the control
    // cuts what does not fit its column anyway.
    static constexpr size_t kSnippetBytes = 120;
    // The most hits kept: beyond, hits are only counted. A list nobody reads
    // to its end must not take the memory a 32-bit viewer has.
    static constexpr size_t kMaxKeptHits = 100000;

    // Forgets every hit and gives the memory back.
    void Clear();
    // The friend whose hits follow; entered only once it has one.
    void BeginFriend(size_t treePosition, std::string_view key, std::string_view name);
    // A record that `search` matches, `length` bytes as the walk read them,
    // at byte `offset` of its log file; the line that holds the match is kept
    // for its cell.
    void AddHit(const chatlog::CTextSearch& search, chatlog::ChatLogRecordPos record,
                std::uint16_t length, std::uint64_t offset);
    // A log that could not be read to its end.
    void AddSkippedLog() { ++m_skippedLogs; }

    // The hits kept, the rows of the list.
    size_t HitCount() const { return m_hits.size(); }
    // Every hit, kept or only counted.
    size_t TotalCount() const { return m_total; }
    size_t SkippedLogs() const { return m_skippedLogs; }
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
    size_t m_total = 0;
    size_t m_skippedLogs = 0;
};

namespace viewer {

// The line of a GBK text that holds the match at [at, at + length) (lines
// end at CR or LF), cut to at most maxBytes without splitting a two-byte
// character; a match too far along its line for the cut starts the snippet
// a little before it instead, on a character boundary.
std::string_view MatchLineSnippet(std::string_view text, size_t at, size_t length, size_t maxBytes);

// The window's count: "共 N 条", what of it is shown when the hits kept are
// fewer, and how many logs could not be read.
std::wstring FindAllCountText(size_t total, size_t kept, size_t skippedLogs);

// The row that shows `target` among rowCount rows whose records lie in file
// order (ascending) or in its reverse, recordAt(row) giving a row's record;
// -1 when no row shows it. Records of one log ascend with their addresses.
template <class RecordAt>
long RowOfRecord(size_t rowCount, bool ascending, RecordAt&& recordAt,
                 chatlog::ChatLogRecordPos target) {
    size_t low = 0, high = rowCount; // file-order positions [low, high)
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        const size_t row = ascending ? middle : rowCount - 1 - middle;
        const chatlog::ChatLogRecordPos record = recordAt(row);
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
