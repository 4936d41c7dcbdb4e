// The resumption's inputs that come from outside: the record left beside a
// part (a file anybody could have written) and an answer's Content-Range
// with what the signed download makes of the answer. Besides ASan/UBSan it
// checks that an accepted record or range reads back as it is written, that
// a refused one leaves the caller's values untouched, and that only an
// answer for exactly the rest continues a part.
#include "ResumeRules.h"
#include "SignedDownloadRules.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Says which check failed: the crash's stack has only the fuzz function.
void Check(bool condition, int line = __builtin_LINE()) {
    if (!condition) {
        std::fprintf(stderr, "check failed on line %d\n", line);
        std::abort();
    }
}

void CheckRecord(const std::string& text) {
    updater::PartRecord record;
    record.size = 7;
    if (!updater::ParsePartRecord(text, record)) {
        Check(record.size == 7 && record.address.empty());
        return;
    }
    Check(!record.address.empty() && record.size >= 1);
    // Written again it reads the same and is as long (only the digest's case
    // may differ).
    const std::string written = updater::FormatPartRecord(record);
    updater::PartRecord again;
    Check(updater::ParsePartRecord(written, again));
    Check(again.address == record.address && again.validator == record.validator &&
          again.digest == record.digest && again.size == record.size);
    Check(written.size() == text.size());
}

// The first 8 bytes choose the answer's status and the part's offset, the
// rest is the Content-Range.
void CheckRange(const std::string& text, std::uint64_t offset, unsigned long status) {
    std::uint64_t first = 1, last = 2, total = 3;
    const bool parsed = updater::ParseContentRange(text.c_str(), first, last, total);
    if (!parsed) {
        Check(first == 1 && last == 2 && total == 3);
    } else {
        Check(first <= last && (total == 0 || last < total));
        std::uint64_t f = 0, l = 0, t = 0;
        const std::string canonical = "bytes " + std::to_string(first) + "-" +
                                      std::to_string(last) + "/" +
                                      (total == 0 ? std::string("*") : std::to_string(total));
        Check(updater::ParseContentRange(canonical.c_str(), f, l, t) && f == first && l == last &&
              t == total);
        if (last < UINT64_MAX) {
            Check(updater::ContinuesFrom(text.c_str(), first, last + 1) ==
                  (total == 0 || total == last + 1));
        }
    }
    const std::uint64_t size = parsed && total != 0 ? total : 3000;
    updater::AnswerFacts answer;
    answer.status = status;
    answer.announced = (offset & 1) != 0;
    answer.announcedLength = offset < size ? size - offset : 0;
    answer.contentRange = text.c_str();
    const updater::AnswerMeaning meaning = updater::JudgeAnswer(answer, 1, offset, size);
    if (meaning == updater::AnswerMeaning::Continues) {
        Check(status == 206 && parsed && first == offset && offset > 0 && last == size - 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    CheckRecord(bytes);
    if (size >= 8) {
        std::uint32_t offset = 0, status = 0;
        std::memcpy(&offset, data, 4);
        std::memcpy(&status, data + 4, 4);
        // A NUL ends the header's text as it ends WinINet's copy of it.
        const std::string text(bytes.c_str() + 8);
        CheckRange(text, offset, status % 2 == 0 ? 206 : status % 600);
    }
    return 0;
}
