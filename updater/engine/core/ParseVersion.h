// The packed client version: one byte per part, most significant first.
// Shared by the command line (the client's own) and the version document.
#pragma once

#include <cstdint>

namespace updater {

// Reads "%u,%u,%u,%u" and keeps the low 8 bits of each part. Null, or a text
// giving fewer than four numbers, packs to 0; anything after the fourth number
// is ignored. "1,2,3,4" packs to 0x01020304.
std::uint32_t ParseVersion(const char* pszText);

} // namespace updater
