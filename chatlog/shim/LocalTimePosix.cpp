// PLATFORM SHIM: see LocalTime.h.
#include "LocalTime.h"

namespace chatlog {

namespace {

// A time_t narrower than the seconds given would convert another time.
bool Fits(std::int64_t seconds, time_t& t) {
    t = static_cast<time_t>(seconds);
    return static_cast<std::int64_t>(t) == seconds;
}

} // namespace

bool LocalTime(std::int64_t seconds, struct tm* out) {
    time_t t;
    return out && Fits(seconds, t) && localtime_r(&t, out) != nullptr;
}

bool UtcTime(std::int64_t seconds, struct tm* out) {
    time_t t;
    return out && Fits(seconds, t) && gmtime_r(&t, out) != nullptr;
}

} // namespace chatlog
