// What the updater does once the version document is in: nothing, or which
// of the listed download addresses to fetch.
#pragma once

#include <cstdint>

namespace updater {

struct UpdateChoice {
    bool download;         // a newer version exists and there is an address to try
    unsigned addressIndex; // in the key order of the version document
};

// The server's version is newer only when it is greater as an unsigned 32-bit
// number. The address is `randomNumber` (0 to 32767) modulo the number of
// addresses; with no address at all there is nothing to download.
UpdateChoice DecideUpdate(std::uint32_t clientVersion, std::uint32_t serverVersion,
                          unsigned addressCount, unsigned randomNumber);

} // namespace updater
