// The viewer's free functions on the account folder.
#pragma once

#include <windows.h>

#include <string>

namespace viewer {

// The account's chat log folder below the process's current directory
// (current directory, key and ChatLog joined by backslashes), in one static
// buffer that every call overwrites. Null when the current directory cannot
// be read or the folder's path would not fit in 260 characters.
const wchar_t* BuildChatLogPath(const char* key);

// TRUE when the path's attributes can be read and carry the directory
// attribute; FALSE otherwise (and for a null path).
BOOL IsFolder(const wchar_t* path);

// True when the folder lists at least one file the chat log name rule takes.
bool HoldsChatLogs(const std::wstring& folder);

// Where a folder the user chose keeps its chat logs: the folder itself, its
// ChatLog folder (an account's folder), or the ChatLog folder of the one
// account folder it holds (the client's folder with a single account).
// False when none of them holds a chat log.
bool FindChatLogFolder(const std::wstring& chosen, std::wstring& logs);

} // namespace viewer
