// The few small local files the signed download keeps beside its part (its
// record), read and written whole, and the clock their age is measured by.
#pragma once

#include <cstdint>
#include <string>

namespace updater {

// A file of less than 4 KiB, whole; false when missing, unreadable or larger.
bool ReadSmallFile(const char* pszPath, std::string& text);
bool WriteSmallFile(const char* pszPath, const std::string& text);

// Seconds since the file was last written; -1 when that cannot be read.
std::int64_t FileAgeSeconds(const char* pszPath);

// 100 ns intervals since 1970-01-01 by the machine's clock.
std::uint64_t TicksSince1970();

} // namespace updater
