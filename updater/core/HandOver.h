// The updater's part of the hand-over to the downloaded setup program, as a
// sequence over a few system services so that its order and its promise are
// tested on any host: the user is never left without a client. Normally a
// guard outside the install folder does the rest once the updater has ended
// (CGuard); where no guard can be started, the updater hands over itself and
// keeps the copy of the client, since nobody watches the setup.
#pragma once

#include "ClientSwap.h"

class CHandOver : public CClientSwap {
public:
    // Asks the client to end, starts the guard and pauses; the guard then
    // replaces the client executable by the setup's run. Without a guard the
    // same happens here. Returns whether the guard or the setup started.
    bool Run(const char* clientPath, const char* setupPath, const char* setupArguments);

protected:
    // True when a client window agreed to quit.
    virtual bool CloseClient() = 0;
    // Ends the pause that began when the client was asked.
    virtual void PauseForClient() = 0;
    // Starts the prepared guard, telling it whether the client agreed; false
    // when there is none or it could not start.
    virtual bool StartGuard(bool clientAgreed) = 0;
};
