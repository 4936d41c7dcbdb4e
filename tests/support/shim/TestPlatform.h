// The little a portable test needs of the system it runs on, one file per
// platform behind it, so the tests themselves carry no platform branches.
#pragma once

#include <cstdint>
#include <string>

// This process's id, as the system shows it.
unsigned long TestProcessId();

// Cuts `path` to `size` bytes (or extends it, sparse where the file system
// allows) through a handle of its own that shares reading and writing, as the
// chat client could; false when the system refuses.
bool TruncateFile(const std::string& path, std::uint64_t size);

// Whether a file with a mapped view may be cut short: POSIX allows it,
// Windows refuses.
bool MappedFileCanShrink();

// Makes local time follow `zone` (a zone name) where a process can choose
// its own zone (TZ on the host); Windows keeps the system's zone.
void UseTimeZone(const char* zone);
// Back to the zone the system gives the process.
void UseSystemTimeZone();
