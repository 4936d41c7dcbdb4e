// Records in reverse file order without a position per record. Records are
// only chained forward (each says how long it is), so the reverse needs some
// memory; this keeps it bounded instead of growing with the log.
#pragma once

#include "ChatLogFormat.h"

#include <cstddef>
#include <vector>

// Most checkpoints kept by the first pass. With the stride doubling below, a
// log of N records needs a block of at most 2N / kReverseCheckpoints
// positions; a chat log is at most 4 GiB of records of 13 bytes or more, so
// checkpoints and block together stay under 600 KB whatever the log holds,
// and for a million messages they are 8192 + 128 positions.
constexpr std::size_t kReverseCheckpoints = 8192;

namespace exporter {

// forEachForward(f) must call f(position) for every record in file order,
// the same records each time it is called (a mapped view walked twice).
// visit(position) is then called for each of them in exactly the reverse
// order. Two passes: the first keeps every stride-th position (the stride
// doubles whenever the checkpoints run full); the second walks each block
// between two checkpoints forward, last block first, and hands its
// positions out backwards.
template <class ForEachForward, class Visit>
void VisitRecordsReversed(ForEachForward&& forEachForward, Visit&& visit,
                          std::size_t maxCheckpoints = kReverseCheckpoints) {
    if (maxCheckpoints < 2)
        maxCheckpoints = 2;
    maxCheckpoints &= ~static_cast<std::size_t>(1); // halving needs an even count
    std::vector<ChatLogRecordPos> checkpoints;
    checkpoints.reserve(maxCheckpoints);
    std::size_t stride = 1;
    std::size_t count = 0;
    forEachForward([&](ChatLogRecordPos record) {
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
    });
    std::vector<ChatLogRecordPos> block;
    block.reserve(stride);
    for (std::size_t i = checkpoints.size(); i-- > 0;) {
        std::size_t n = i + 1 < checkpoints.size() ? stride : count - i * stride;
        block.clear();
        // The first pass has checked every record of the block: following
        // wLength from a checkpoint stays inside the walked records.
        ChatLogRecordPos record = checkpoints[i];
        for (std::size_t k = 0; k < n; ++k) {
            block.push_back(record);
            record += chatlog::RecordLength(record);
        }
        for (std::size_t k = block.size(); k-- > 0;)
            visit(block[k]);
    }
}

} // namespace exporter
