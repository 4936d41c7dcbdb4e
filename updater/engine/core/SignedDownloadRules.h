// The decisions of a signed setup's download, kept free of WinINet so that
// they are tested on the host: whether the part an earlier run left may be
// resumed, how much of it is kept, what an answer to a request means, and
// whether a request that got no answer counts as one of the run's tries.
#pragma once

#include "ResumeRules.h"

#include <cstdint>
#include <string>
#include <vector>

namespace updater {

// Whether the record beside a part allows resuming it: the part is fresh
// (its age known and at most kPartMaxAgeSeconds), the record was read
// (null: missing or damaged), it is for this very setup (digest and size)
// and from an address the document still names.
bool RecordAllowsResume(std::int64_t partAgeSeconds, const PartRecord* record,
                        const SetupDigest& digest, std::uint32_t size,
                        const std::vector<std::string>& addresses);

// The bytes of a part of `partSize` kept for a setup of `size` bytes: all of
// them when it may be resumed, none when not or when it is longer than the
// setup.
std::uint64_t BytesToKeep(bool resumable, std::uint64_t partSize, std::uint64_t size);

// A request that asks again: one after the run's first, or one that carries
// a range for the part that is kept. When such a request fails at the
// connection, the part is kept and the request counts as one of the run's
// tries; the first request for a whole setup failing is the end of it.
bool IsAskingAgain(unsigned attempt, std::uint64_t offset);

// What the engine learnt of an answer. Status 0: no answer at all (the
// connection ended before a status line, or the status could not be read).
struct AnswerFacts {
    unsigned long status = 0;
    bool announced = false; // a Content-Length was given
    std::uint64_t announcedLength = 0;
    const char* contentRange = nullptr; // null: none given
};

enum class AnswerMeaning {
    Whole,        // the whole setup (200): starts the part over when it held bytes
    Continues,    // the rest from `offset` (206 with the range asked for)
    SizeMismatch, // the whole setup, but a length other than the signed size
    Missing,      // the first request was refused: the server has no such setup
    Unanswered,   // no answer while asking again: one of the run's tries
    Refused,      // anything else: the download fails
};

// The meaning of an answer to request number `attempt` (from 0), asked
// from `offset` (0: no range) for a setup of `size` bytes.
AnswerMeaning JudgeAnswer(const AnswerFacts& answer, unsigned attempt, std::uint64_t offset,
                          std::uint64_t size);

} // namespace updater
