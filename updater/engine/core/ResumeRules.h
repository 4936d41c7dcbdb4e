// The rules of a resumed setup download, kept free of WinINet so that they
// are tested on the host: what a Content-Range answer says, which validator
// goes into If-Range, how long to pause before asking again, and the small
// record kept beside an unfinished setup between runs.
#pragma once

#include "SignedSetup.h"

#include <cstdint>
#include <string>

namespace updater {

// How often one run asks again for the rest of a setup whose connection
// ended early.
constexpr unsigned kMaxResumptions = 3;
// A part older than this is not resumed but deleted.
constexpr std::int64_t kPartMaxAgeSeconds = 7 * 24 * 3600;
// Names beside the setup in the temporary folder.
constexpr char kPartSuffix[] = ".part";
constexpr char kPartRecordSuffix[] = ".part.txt";

// The pause before resumption number `attempt` (from 1): 1, 2, then 4 s.
unsigned ResumePauseMs(unsigned attempt);

// A Content-Range value "bytes FIRST-LAST/TOTAL" (TOTAL may be "*"), blanks
// around the value allowed; false for anything else, an unsatisfied range
// ("bytes */TOTAL"), LAST before FIRST, or LAST not below a known TOTAL.
// `total` is 0 when the answer gives "*".
bool ParseContentRange(const char* text, std::uint64_t& first, std::uint64_t& last,
                       std::uint64_t& total);

// Whether a 206 answer continues a setup of `size` bytes from `offset`: its
// range runs from `offset` to the last byte, and its total, when given, is
// `size`.
bool ContinuesFrom(const char* contentRange, std::uint64_t offset, std::uint64_t size);

// The validator If-Range carries: a strong ETag, else Last-Modified, else
// none (an empty text). A weak ETag ("W/...") cannot validate a range. Null
// stands for a header the answer did not have.
std::string ChooseValidator(const char* etag, const char* lastModified);

// What is kept beside an unfinished setup: where it came from, the validator
// of that answer, and what the signed document said of the whole file.
struct PartRecord {
    std::string address;
    std::string validator;
    SetupDigest digest{};
    std::uint32_t size = 0;
};

// The record as the text of its file, and back. Parsing refuses anything
// that is not exactly such a text (a damaged record starts the setup over).
std::string FormatPartRecord(const PartRecord& record);
bool ParsePartRecord(const std::string& text, PartRecord& record);

} // namespace updater
