// The viewer's free functions on the account folder.
#pragma once

#include <windows.h>

namespace viewer {

// The account's chat log folder below the process's current directory
// (current directory, key and ChatLog joined by backslashes), in one static
// buffer that every call overwrites. Null when the current directory cannot
// be read or the folder's path would not fit in 260 characters.
const wchar_t* BuildChatLogPath(const char* key);

// TRUE when the path's attributes can be read and carry the directory
// attribute; FALSE otherwise (and for a null path).
BOOL IsFolder(const wchar_t* path);

} // namespace viewer
