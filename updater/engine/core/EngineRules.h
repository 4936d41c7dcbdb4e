// The engine's small decisions, kept free of WinINet and threads so that they
// are tested on the host: text limits, the setup path, the expected length of
// a body, whether a body arrived whole, and the seed of rand().
#pragma once

#include <cstddef>
#include <cstdint>

namespace updater {

// The temporary folder, one '\' (added only when the folder lacks it) and
// "VemliSetup.exe" into a buffer of nSize bytes. False when the folder is null
// or empty or the whole path does not fit.
bool BuildSetupPath(const char* pszTempFolder, char* pszBuffer, std::size_t nSize);

// A Content-Length header value: decimal digits, blanks (updater::IsBlankByte)
// around them allowed.
// False for anything else (no number, a sign, trailing junk, overflow).
bool ParseContentLength(const char* pszText, std::uint64_t& nLength);

// What a response's Content-Length text announces: true, with the length,
// when the text (null when the header could not be read) gives a number other
// than 0. Otherwise the caller falls back on the bytes available.
bool AnnouncedLength(const char* pszContentLength, std::uint64_t& nLength);

// A clean end of a body is only complete when at least the announced length
// arrived; without an announced length any clean end is complete.
bool IsBodyComplete(bool bLengthAnnounced, std::uint64_t nAnnounced, std::uint64_t nReceived);

// The longest version document taken; a longer one is not valid. Nothing
// honest comes near it, and it bounds what a server can make the check keep.
constexpr std::uint64_t kMaxVersionDocumentSize = 64 * 1024;

// With a setup key only web addresses are downloaded: "http://" or
// "https://" (either in any letter case) at the start. A file: address names
// a share whose server would get the user's network credentials.
bool IsWebAddress(const char* pszAddress);

// Seed of rand(): whole seconds since 1970 exclusive-or ((low 32 bits of the
// 100 ns count since 1970) modulo 10,000,000) / 10.
unsigned int ComputeRandomSeed(std::uint64_t nTicksSince1970);

} // namespace updater
