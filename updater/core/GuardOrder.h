// What the updater tells the guard it starts (a copy of itself, run from a
// fresh folder of its own under the temporary folder): everything on the
// guard's command line, since the updater has ended by the time the guard
// acts. Handles are values the guard inherited from the updater.
#pragma once

#include <cstdint>
#include <string>

namespace updater {

// The guard's arguments begin with this (never with "-v", so an updater
// started with them as a client would start it does nothing else).
constexpr char kGuardSwitch[] = "-guard";

struct GuardOrder {
    // Inherited handles, as numbers: the updater's process (to wait for its
    // end), the instance mutex (so no second updater runs while the setup
    // does) and, with a publisher key, the verified setup held open.
    std::uint64_t updaterProcess = 0;
    std::uint64_t instanceMutex = 0;
    std::uint64_t heldSetup = 0; // 0: none held (no publisher key)
    bool clientAgreed = false;   // a client window agreed to quit
    std::uint32_t version = 0;   // the server's packed version
    std::string digestHex;       // the signed digest; empty without a key
    std::string setupPath;
    std::string setupArguments; // " /S /D=<install folder>"
    std::string installFolder;  // the setup's current folder, where Vemli.exe is
};

// "-guard P M H A V D "setup" " /S /D=..." "folder"" with D "-" for no
// digest. False when a text holds a '"' or is empty where a path is needed
// (no Windows path holds a '"').
bool FormatGuardArguments(const GuardOrder& order, std::string& arguments);

// The exact form above; anything else is refused (false, `order` untouched).
bool ParseGuardArguments(const char* arguments, GuardOrder& order);

// Whether the arguments ask for a guard at all: the switch and a blank.
bool IsGuardArguments(const char* arguments);

} // namespace updater
