#include "CHandOver.h"

namespace updater {

bool CHandOver::Run(const char* clientPath, const char* copyPath, const char* setupPath,
                    const char* setupArguments) {
    CloseClient();
    PauseForClient();

    // Without a copy the executable stays where it is: deleting it could
    // leave nothing to run if the setup then fails to start.
    bool haveCopy = false;
    if (FileExists(clientPath)) {
        haveCopy = CopyTo(clientPath, copyPath);
    }
    if (haveCopy) {
        // Fails while the client still runs; its file then simply stays.
        Remove(clientPath);
    }

    const bool started = StartSetup(setupPath, setupArguments);
    if (!haveCopy) {
        return started;
    }
    if (started || FileExists(clientPath)) {
        Remove(copyPath);
    } else {
        // Should the rename fail the copy stays: it still holds the client.
        Rename(copyPath, clientPath);
    }
    return started;
}

} // namespace updater
