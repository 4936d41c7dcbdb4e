// PLATFORM SHIM: see LocalTime.h. The 64-bit converters, so that a 32-bit
// runtime's time_t cannot cut a record time.
#include "LocalTime.h"

namespace chatlog {

bool LocalTime(std::int64_t seconds, struct tm* out) {
    __time64_t t = seconds;
    return out && _localtime64_s(out, &t) == 0;
}

bool UtcTime(std::int64_t seconds, struct tm* out) {
    __time64_t t = seconds;
    return out && _gmtime64_s(out, &t) == 0;
}

} // namespace chatlog
