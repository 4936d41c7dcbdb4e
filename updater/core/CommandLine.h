// The updater's command line: what the client passes after the program name.
#pragma once

#include <cstdint>

namespace updater {

// The arguments of a full process command line (as GetCommandLineA gives
// it): the text after the program name, quoted or not, and after the one
// blank or tab that separates them. Further blanks stay, so a second blank
// is a leading blank of the arguments. Null gives "".
const char* SkipProgramName(const char* commandLine);

// The client's packed version from the arguments: they must begin with "-v"
// (either case, nothing before it); the rest is read as atoi reads it, wrapping
// on overflow. False, and `version` untouched, when the switch is absent.
bool ReadClientVersion(const char* arguments, std::uint32_t& version);

} // namespace updater
