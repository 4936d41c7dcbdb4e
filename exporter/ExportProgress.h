// The progress of an export on standard error.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

// Files done, messages and a bar, redrawn at most ten times a second, and
// only for a terminal.
class CExportProgress {
public:
    CExportProgress(bool enabled, std::size_t files) : m_enabled(enabled), m_files(files) {}
    ~CExportProgress() { Clear(); }
    void Update(std::size_t filesDone, std::uint64_t messages, bool force = false);
    // Wipes the line before a warning or at the end.
    void Clear();

private:
    bool m_enabled;
    std::size_t m_files;
    bool m_drawn = false;
    std::chrono::steady_clock::time_point m_last;
};
