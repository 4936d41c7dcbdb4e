#include "HandOver.h"

bool CHandOver::Run(const char* clientPath, const char* setupPath, const char* setupArguments) {
    const bool agreed = CloseClient();
    // The guard starts during the client's pause, so that it costs the
    // hand-over (almost) nothing.
    if (StartGuard(agreed)) {
        PauseForClient();
        return true;
    }
    PauseForClient();
    const bool started = SwapAndStart(clientPath, setupPath, setupArguments);
    if (!started) {
        PutClientBack(clientPath);
    }
    // Once the setup started the copy stays where it is: nothing watches the
    // setup, and a setup that fails must not cost the client.
    return started;
}
