// Records in reverse file order without a position per record. Records are
// only chained forward (each says how long it is), so the reverse needs some
// memory; this keeps it bounded instead of growing with the log.
#pragma once

#include "ChatLogFile.h"
#include "ChatLogFormat.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Most checkpoints kept by the first pass. With the stride doubling below, a
// log of N records needs a block of at most 2N / kReverseCheckpoints
// positions; a chat log is at most 4 GiB of records of 13 bytes or more, so
// checkpoints and block together stay under 600 KB whatever the log holds,
// and for a million messages they are 8192 + 128 positions.
constexpr std::size_t kReverseCheckpoints = 8192;

namespace exporter {

// forEachForward(f) must call f(position, length) for every record in file
// order, with the length the walk checked, the same records each time it is
// called (a mapped view walked twice). visit(position, length) is then
// called for each of them in exactly the reverse order. Two passes: the
// first keeps every stride-th position (the stride doubles whenever the
// checkpoints run full); the second walks each block between two
// checkpoints forward, last block first, and hands its records out
// backwards.
//
// Another program may rewrite the log between the passes, so the second
// reads each length anew, once, and holds it to the block: a record that no
// longer fits before the next checkpoint (or the end the first pass
// reached) ends its block there. A rewritten log gives fewer or odd records,
// never a read outside the records the first pass walked.
template <class ForEachForward, class Visit>
void VisitRecordsReversed(ForEachForward&& forEachForward, Visit&& visit,
                          std::size_t maxCheckpoints = kReverseCheckpoints) {
    if (maxCheckpoints < 2)
        maxCheckpoints = 2;
    maxCheckpoints &= ~static_cast<std::size_t>(1); // halving needs an even count
    std::vector<chatlog::ChatLogRecordPos> checkpoints;
    checkpoints.reserve(maxCheckpoints);
    std::size_t stride = 1;
    std::size_t count = 0;
    chatlog::ChatLogRecordPos walkedEnd = nullptr;
    forEachForward([&](chatlog::ChatLogRecordPos record, std::uint16_t length) {
        if (count % stride == 0) {
            if (checkpoints.size() == maxCheckpoints) {
                for (std::size_t i = 0; i < maxCheckpoints / 2; ++i)
                    checkpoints[i] = checkpoints[2 * i];
                checkpoints.resize(maxCheckpoints / 2);
                stride *= 2;
            }
            if (count % stride == 0)
                checkpoints.push_back(record);
        }
        ++count;
        walkedEnd = record + length;
    });
    struct Record {
        chatlog::ChatLogRecordPos position;
        std::uint16_t length;
    };
    std::vector<Record> block;
    block.reserve(stride);
    for (std::size_t i = checkpoints.size(); i-- > 0;) {
        const std::size_t n = i + 1 < checkpoints.size() ? stride : count - i * stride;
        const chatlog::ChatLogRecordPos blockEnd =
            i + 1 < checkpoints.size() ? checkpoints[i + 1] : walkedEnd;
        block.clear();
        chatlog::ChatLogRecordPos record = checkpoints[i];
        for (std::size_t k = 0; k < n && record < blockEnd; ++k) {
            const std::uint16_t length =
                chatlog::CheckedRecordLength(record, static_cast<std::size_t>(blockEnd - record));
            if (length == 0)
                break;
            block.push_back({record, length});
            record += length;
        }
        for (std::size_t k = block.size(); k-- > 0;)
            visit(block[k].position, block[k].length);
    }
}

// The one ordered walk of a log, which the page survey and the export share
// so that both see the same records in the same order: visit(position,
// length) for every record of `log`, in file order or (descending) its
// reverse; pages.Touch(position, length) for every record read, the
// reverse's first pass included.
template <class Pages, class Visit>
void VisitLogInOrder(CChatLogFile& log, bool descending, Pages& pages, Visit&& visit) {
    if (!descending) {
        log.VisitRecordLengths(visit);
        return;
    }
    VisitRecordsReversed(
        [&](auto&& forward) {
            log.VisitRecordLengths([&](chatlog::ChatLogRecordPos record, std::uint16_t length) {
                pages.Touch(record, length);
                forward(record, length);
            });
        },
        visit);
}

} // namespace exporter
