// PLATFORM SHIM. What the exporter program needs of the system beyond the
// chat log core: its arguments as UTF-8, binary standard streams, whether
// standard error is a terminal, and output files that appear whole or not
// at all.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace exporter {

// The arguments after the program's name as UTF-8. On Windows the program
// takes them wide (wmain), so that names in any script survive whatever the
// ANSI code page.
#ifdef _WIN32
std::vector<std::string> Utf8Arguments(int argc, wchar_t** argv);
#else
std::vector<std::string> Utf8Arguments(int argc, char** argv);
#endif

// Standard output in binary (no newline translation) and, when it is a
// console, set to show UTF-8.
void PrepareStandardStreams();

bool IsStandardErrorTerminal();

} // namespace exporter

// Lets the pages of a mapped log go from the process's memory once the walk
// has left them far behind, so that the resident size of an export does not
// grow with the log (the pages stay in the system's file cache). Told of
// every record as it is read, in whatever order; never drops the record it
// is told of.
class CReadPageReleaser {
public:
    void Touch(const unsigned char* record, std::size_t length);

private:
    static constexpr std::size_t kSpan = 4u << 20;
    void Release(const unsigned char* from, const unsigned char* to);
    const unsigned char* m_low = nullptr;
    const unsigned char* m_high = nullptr;
};

// Writes under a temporary name in the destination's folder and renames it
// over the destination in Commit, so that readers only ever see the old file
// or the whole new one. Destroyed without Commit, it removes its temporary.
class CAtomicOutputFile {
public:
    CAtomicOutputFile() = default;
    ~CAtomicOutputFile() { Discard(); }
    CAtomicOutputFile(const CAtomicOutputFile&) = delete;
    CAtomicOutputFile& operator=(const CAtomicOutputFile&) = delete;

    bool Create(const std::filesystem::path& destination, std::string& error);
    std::FILE* Stream() const { return m_stream; }
    // Flushes to the disk and renames; false (temporary removed) on failure.
    bool Commit(std::string& error);
    void Discard();

private:
    std::filesystem::path m_destination;
    std::filesystem::path m_temporary;
    std::FILE* m_stream = nullptr;
};
