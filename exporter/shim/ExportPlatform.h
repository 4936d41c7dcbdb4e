// PLATFORM SHIM. What the exporter program needs of the system beyond the
// chat log core: its arguments as UTF-8, binary standard streams, whether
// standard error is a terminal, and output files that appear whole or not
// at all.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

// The command line as UTF-8 (on Windows read wide, whatever the code page).
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Standard output in binary (no newline translation) and, when it is a
// console, set to show UTF-8.
void PrepareStandardStreams();

bool IsStandardErrorTerminal();

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
