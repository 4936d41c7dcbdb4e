// A chat log walked in bounded pieces, for the search of every friend's log:
// its memory stays at one piece whatever a log's size, where a log read whole
// could need more than a 32-bit process has room for.
#pragma once

#include "ChatLogFormat.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace viewer {

// The log bytes of one piece. A record is at most 65,535 bytes, so a piece
// holds the record it starts with whole.
constexpr std::uint32_t kLogPieceBytes = 1u << 20;
static_assert(kLogPieceBytes >= 0xFFFF, "a piece holds any record whole");

// Walks the records of a log of `size` bytes, header included, piece by
// piece; read(offset, buffer, count, got) reads the log's bytes at offset.
// Each piece is handed to visit(view, viewSize, base) shaped as a log of its
// own: chatlog::kChatLogHeaderSize bytes that are no header, then whole records only,
// so that any walk over a log's view walks it; a record at `view + i` is at
// file offset `base + i`. A piece ends before the first record it does not
// hold whole, and the next piece starts with that record: the pieces overlap
// by less than a record, and the records are those a walk of the whole log
// would find. False when a read failed (the pieces before it were visited).
template <class Read, class Visit>
bool VisitLogPieces(std::uint32_t size, std::vector<unsigned char>& buffer, Read&& read,
                    Visit&& visit) {
    buffer.resize(chatlog::kChatLogHeaderSize + kLogPieceBytes);
    unsigned char* const view = buffer.data();
    std::uint32_t offset = chatlog::kChatLogHeaderSize;
    while (offset < size && size - offset >= chatlog::kChatLogMinRecordLength) {
        const std::uint32_t want = std::min(kLogPieceBytes, size - offset);
        std::size_t got = 0;
        if (!read(offset, view + chatlog::kChatLogHeaderSize, want, got))
            return false;
        std::uint32_t whole = 0;
        chatlog::VisitChatLogRecordLengths(
            view,
            static_cast<std::uint32_t>(chatlog::kChatLogHeaderSize +
                                       std::min<std::size_t>(got, want)),
            [&whole](chatlog::ChatLogRecordPos, std::uint16_t length) { whole += length; });
        if (whole == 0)
            break; // a damaged record, or the file ended: as a whole walk ends
        visit(static_cast<const unsigned char*>(view), chatlog::kChatLogHeaderSize + whole,
              static_cast<std::uint64_t>(offset) - chatlog::kChatLogHeaderSize);
        offset += whole;
    }
    return true;
}

} // namespace viewer
