// Reading an answer's headers through WinINet, for the check and both
// downloads.
#pragma once

#include "HttpFile.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace updater {

// The length the response announces, which tells a whole body from one the
// server cut off with a clean close (WinINet reports that as a normal end).
bool QueryAnnouncedLength(const CHttpFile& file, std::uint64_t& nAnnounced);

// A response header as text; false when the response has none.
bool QueryHeader(const CHttpFile& file, DWORD dwLevel, std::string& value);

} // namespace updater
