// An output file that readers only ever see old or whole.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

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
    // Flushes to the system and renames; false (temporary removed) on failure.
    bool Commit(std::string& error);
    void Discard();

private:
    std::filesystem::path m_destination;
    std::filesystem::path m_temporary;
    std::FILE* m_stream = nullptr;
};
