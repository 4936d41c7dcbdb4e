#include "Guard.h"

#include "GuardRules.h"

void CGuard::Run(const char* clientPath, const char* setupPath, const char* setupArguments,
                 bool clientAgreed) {
    WaitForUpdater();
    const bool started = SwapAndStart(clientPath, setupPath, setupArguments);
    updater::SetupOutcome outcome = {};
    outcome.timedOut = started && !WaitForSetup();
    // A folder too long to name the client in: nothing was touched, and
    // nothing is known to have failed.
    outcome.clientPresent = clientPath == nullptr || FileExists(clientPath);
    outcome.haveCopy = HaveCopy();
    outcome.clientAgreed = clientAgreed;
    const updater::GuardVerdict verdict = updater::DecideAfterSetup(outcome);

    if (verdict.dropCopy) {
        DropCopy();
    }
    const bool restored = verdict.restore && PutClientBack(clientPath);
    // Recorded before the client is back: an updater it starts at once
    // already finds the record.
    if (verdict.recordFailure) {
        RecordFailure();
    }
    ReleaseInstance();
    if (verdict.restartClient && restored) {
        RestartClient(clientPath);
    }
}
