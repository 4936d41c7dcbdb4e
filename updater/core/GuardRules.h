// The guard's own decisions: the name of its folder, how long it watches a
// setup, and what it does once the setup has ended.
#pragma once

#include <cstddef>
#include <cstdint>

namespace updater {

// The guard's folders under the temporary folder: "VemliGuard-" and hex
// digits, "-" between them. A run makes a new one and removes the earlier
// ones it can.
constexpr char kGuardFolderPrefix[] = "VemliGuard-";
// The copy of updater.exe that runs as the guard, inside its folder.
constexpr char kGuardExeName[] = "updater.exe";

// "VemliGuard-<process id>-<tick>-<attempt>" in hex. False when it does not
// fit in `size` bytes.
bool FormatGuardFolderName(std::uint32_t processId, std::uint64_t tick, unsigned attempt, char* out,
                           std::size_t size);

// Whether a folder name is one FormatGuardFolderName makes (and so one a run
// may clear away): the prefix, then 1 to 40 hex digits and dashes, no dash
// at either end.
bool IsGuardFolderName(const char* name);

// How long the guard waits for a setup: 30 minutes. Tests shorten it through
// an environment variable; a value that is not a plain decimal number of
// milliseconds between 1 and 30 minutes is ignored, so it can never lengthen
// the wait.
constexpr std::uint32_t kGuardSetupLimitMs = 30u * 60u * 1000u;
constexpr char kGuardLimitVariable[] = "VEMLI_GUARD_LIMIT_MS";
std::uint32_t GuardSetupLimitMs(const char* variableValue);

// How the setup went, as the guard sees it once it stopped watching.
struct SetupOutcome {
    bool timedOut;      // still running when the limit passed
    bool clientPresent; // Vemli.exe in the install folder
    bool haveCopy;      // the kept copy of the old client exists
    bool clientAgreed;  // a client window agreed to quit before the hand-over
};

struct GuardVerdict {
    bool restore;       // put the kept copy back as Vemli.exe
    bool dropCopy;      // delete the kept copy
    bool recordFailure; // record the setup so it is not handed over again soon
    bool restartClient; // start Vemli.exe again, once it is back
};

// No client afterwards: the copy goes back, the failure is recorded, and a
// client that had quit for the setup is started again. A client there: the
// copy goes, unless the setup still runs (past the limit), which may yet
// take the client away: then it stays.
GuardVerdict DecideAfterSetup(const SetupOutcome& outcome);

} // namespace updater
