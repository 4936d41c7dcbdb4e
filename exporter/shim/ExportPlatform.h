// PLATFORM SHIM. What the exporter program needs of the system beyond the
// chat log core: its arguments as UTF-8, binary standard streams, whether
// standard error is a terminal, page size and release, and the file
// operations behind output files that appear whole or not at all. One
// definition per platform: ExportPlatformWin32.cpp, ExportPlatformPosix.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace exporter {

// The arguments after the program's name as UTF-8. Each platform defines the
// one its entry point receives: on Windows the program takes them wide
// (wmain), so that names in any script survive whatever the ANSI code page.
std::vector<std::string> Utf8Arguments(int argc, wchar_t** argv);
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Standard output in binary (no newline translation) and, when it is a
// console, set to show UTF-8.
void PrepareStandardStreams();

bool IsStandardErrorTerminal();

std::uintptr_t MemoryPageSize();
// Takes whole pages of a mapped view out of the process's memory; they are
// read in again if touched.
void ReleaseMappedPages(std::uintptr_t first, std::size_t size);

unsigned long CurrentProcessId();
// Creates `path`, a fresh temporary name that will replace `destination`,
// for writing in binary; null (and errno set) on failure. On POSIX it refuses
// a name that exists, and is never readable by more people than the file it
// replaces (it takes that file's permissions) or, where there is none, than
// the umask allows; on Windows it has the folder's inherited permissions.
std::FILE* CreateNewFile(const std::filesystem::path& path,
                         const std::filesystem::path& destination);
// Renames `from` over `to`, replacing it; 0, or the errno value on failure.
int ReplaceFileWith(const std::filesystem::path& from, const std::filesystem::path& to);

// A stop asked from outside (an interrupt, a terminal hung up, a request to
// end; on Windows the console's Ctrl+C, Ctrl+Break and close) only sets a
// flag from then on, so that the run ends in its own time and removes what
// it had written; StopRequested reads the flag (any thread). EndAsStopped
// then ends the process as the stop would have ended it.
void WatchStopRequests();
bool StopRequested();
[[noreturn]] void EndAsStopped();

} // namespace exporter
