// The small pieces the engine's workers share: the request constants, the
// developer trace, reading a response's headers, and the few small local
// files the signed download keeps beside its part.
#pragma once

#include "HttpFile.h"

#include <windows.h>

#include <wininet.h>

#include <cstdint>
#include <string>

namespace updater {

const DWORD_PTR kContext = 1;
const UINT kBlockSize = 1024;
const DWORD kOpenUrlFlags = INTERNET_FLAG_PASSIVE | INTERNET_FLAG_TRANSFER_BINARY;

// The engine's developer trace: never shown to the user; a developer sees it
// with WINEDEBUG=+debugstr.
void Trace(const char* pszText);

// The length the response announces, which tells a whole body from one the
// server cut off with a clean close (WinINet reports that as a normal end).
bool QueryAnnouncedLength(const CHttpFile& file, std::uint64_t& nAnnounced);

// A response header as text; false when the response has none.
bool QueryHeader(const CHttpFile& file, DWORD dwLevel, std::string& value);

bool ReadSmallFile(const char* pszPath, std::string& text);
bool WriteSmallFile(const char* pszPath, const std::string& text);

// Seconds since the file was last written; -1 when that cannot be read.
std::int64_t FileAgeSeconds(const char* pszPath);

} // namespace updater
