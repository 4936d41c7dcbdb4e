// Starting the downloaded setup program.
#pragma once

#include "UniqueHandle.h"

namespace updater {

// Starts `path` (a relative one is taken from the current folder) with
// `arguments` as its whole command line, in `currentFolder` (null: ours).
// False when the file does not exist or cannot be started; the user sees
// nothing either way. With `process` the caller keeps the process's handle
// to wait for it.
bool RunSetup(const char* path, const char* arguments, const char* currentFolder = nullptr,
              CKernelHandle* process = nullptr);

// Whether `path` names an existing file (not a folder).
bool NamesFile(const char* path);

} // namespace updater
