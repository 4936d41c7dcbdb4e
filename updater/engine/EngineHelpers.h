// What the engine's workers share: the request constants and the developer
// trace.
#pragma once

#include <windows.h>

#include <wininet.h>

namespace updater {

const DWORD_PTR kContext = 1;
const UINT kBlockSize = 1024;
const DWORD kOpenUrlFlags = INTERNET_FLAG_PASSIVE | INTERNET_FLAG_TRANSFER_BINARY;

// The engine's developer trace: never shown to the user; a developer sees it
// with WINEDEBUG=+debugstr.
void Trace(const char* pszText);

} // namespace updater
