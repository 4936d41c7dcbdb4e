// PLATFORM SHIM. Unix seconds to broken-down time with the runtime's own
// converters, in local time (the zone the user's machine is set to) or in
// UTC. The one place the chat log readers turn a record's time into a date.
#pragma once

#include <cstdint>
#include <ctime>

namespace chatlog {

// False when the runtime cannot convert the time (the Windows runtime
// refuses times before 1970 local midnight); `out` is then unspecified.
bool LocalTime(std::int64_t seconds, struct tm* out);
bool UtcTime(std::int64_t seconds, struct tm* out);

} // namespace chatlog
