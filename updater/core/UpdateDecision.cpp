#include "UpdateDecision.h"

namespace updater {

UpdateChoice DecideUpdate(std::uint32_t clientVersion, std::uint32_t serverVersion,
                          unsigned addressCount, unsigned randomNumber) {
    if (clientVersion >= serverVersion || addressCount == 0) {
        return {false, 0};
    }
    return {true, randomNumber % addressCount};
}

} // namespace updater
