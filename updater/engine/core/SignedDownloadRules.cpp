#include "SignedDownloadRules.h"

#include <algorithm>

namespace updater {

namespace {

constexpr unsigned long kStatusOk = 200;
constexpr unsigned long kStatusPartial = 206;

} // namespace

bool RecordAllowsResume(std::int64_t partAgeSeconds, const PartRecord* record,
                        const SetupDigest& digest, std::uint32_t size,
                        const std::vector<std::string>& addresses) {
    return partAgeSeconds >= 0 && partAgeSeconds <= kPartMaxAgeSeconds && record != nullptr &&
           record->digest == digest && record->size == size &&
           std::find(addresses.begin(), addresses.end(), record->address) != addresses.end();
}

std::uint64_t BytesToKeep(bool resumable, std::uint64_t partSize, std::uint64_t size) {
    return resumable && partSize <= size ? partSize : 0;
}

bool IsAskingAgain(unsigned attempt, std::uint64_t offset) {
    return attempt > 0 || offset > 0;
}

AnswerMeaning JudgeAnswer(const AnswerFacts& answer, unsigned attempt, std::uint64_t offset,
                          std::uint64_t size) {
    if (answer.status == 0 && IsAskingAgain(attempt, offset)) {
        return AnswerMeaning::Unanswered;
    }
    if (answer.status == kStatusOk) {
        return answer.announced && answer.announcedLength != size ? AnswerMeaning::SizeMismatch
                                                                  : AnswerMeaning::Whole;
    }
    if (answer.status == kStatusPartial && offset > 0 &&
        ContinuesFrom(answer.contentRange, offset, size) &&
        (!answer.announced || answer.announcedLength == size - offset)) {
        return AnswerMeaning::Continues;
    }
    if (attempt == 0 && answer.status != kStatusPartial) {
        return AnswerMeaning::Missing;
    }
    return AnswerMeaning::Refused;
}

} // namespace updater
