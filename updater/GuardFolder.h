// The guard's folders under the user's temporary folder: made fresh for each
// hand-over (a name that exists is never taken, so nothing another program
// prepared there is ever run or loaded), and cleared by the next run.
#pragma once

#include <cstddef>

namespace updater {

// The temporary folder with a '\' at its end; false when it is unknown or
// does not fit.
bool TempFolder(char* out, std::size_t size);

// Creates a new folder "<temp>\VemliGuard-..." and puts its path in `out`;
// false when none could be made.
bool MakeGuardFolder(char* out, std::size_t size);

// Deletes the files of a guard folder and the folder; what is in use (a
// guard or a setup still running from it) stays until a later run.
void RemoveGuardFolder(const char* folder);

// Removes every guard folder an earlier run left in the temporary folder.
// Only called while this updater holds the instance mutex, which a running
// guard holds too: no guard is using them any more.
void ClearGuardFolders();

} // namespace updater
