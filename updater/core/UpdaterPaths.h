// Path texts the updater forms, as plain functions over byte strings. Every
// result goes into a caller's buffer and is refused, never cut, when it does
// not fit; a refused result leaves the buffer as it was.
#pragma once

#include "TextRules.h"

#include <cstddef>

namespace updater {

// The folder of a module path: everything before its last '\' (the '\'
// dropped). False when there is no '\' or the folder does not fit.
bool FolderOfModule(const char* modulePath, char* folder, std::size_t size);

// True for a path that begins with '\' or with a letter, ':' and '\'.
bool IsAbsolutePath(const char* path);

// JoinPath, the one joining rule of the updater and its engine, is with the
// text rules (TextRules.h).

// An absolute path unchanged; a relative one put behind `currentFolder`.
bool ResolvePath(const char* currentFolder, const char* path, char* out, std::size_t size);

// " /S /D=<folder>"; a null folder counts as empty.
bool FormatSetupArguments(const char* folder, char* out, std::size_t size);

} // namespace updater
