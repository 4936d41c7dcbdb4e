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
    // Flushes and closes, keeping the temporary for a rename later (see
    // CPendingOutputs); false (temporary removed) on failure.
    bool Close(std::string& error);
    const std::filesystem::path& Temporary() const { return m_temporary; }
    const std::filesystem::path& Destination() const { return m_destination; }
    // After Close: the temporary is someone else's to rename or remove.
    void Release() { m_temporary.clear(); }
    void Discard();

private:
    std::filesystem::path m_destination;
    std::filesystem::path m_temporary;
    std::FILE* m_stream = nullptr;
};
