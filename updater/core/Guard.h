// The guard's sequence, over a few system services so that it is tested on
// any host. The guard runs outside the install folder; once the updater has
// ended it hands the client's place over to the setup, watches the setup to
// its end and gives the user their client back when the setup left none.
#pragma once

#include "ClientSwap.h"

class CGuard : public CClientSwap {
public:
    // `clientAgreed`: a client window agreed to quit for the setup.
    void Run(const char* clientPath, const char* setupPath, const char* setupArguments,
             bool clientAgreed);

protected:
    // Until the updater has ended (bounded): from then on nothing of ours
    // holds a file or a current folder in the install folder.
    virtual void WaitForUpdater() = 0;
    // After the setup started: false when it still runs at the limit.
    virtual bool WaitForSetup() = 0;
    virtual void RecordFailure() = 0;
    // Lets another updater run (before the client, which may start one).
    virtual void ReleaseInstance() = 0;
    virtual void RestartClient(const char* clientPath) = 0;
};
