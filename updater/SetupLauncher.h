// Starting the downloaded setup program.
#pragma once

namespace updater {

// Starts `path` (a relative one is taken from the current folder) with
// `arguments` as its whole command line, not waited for. False when the file
// does not exist or cannot be started; the user sees nothing either way.
bool RunSetup(const char* path, const char* arguments);

// Whether `path` names an existing file (not a folder).
bool NamesFile(const char* path);

} // namespace updater
