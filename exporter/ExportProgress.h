// The progress of an export on standard error.
#pragma once

#include "ExportJob.h"

#include <chrono>

// Files done, messages and a bar, redrawn at most ten times a second, and
// only for a terminal.
class CExportProgress {
public:
    explicit CExportProgress(bool enabled) : m_enabled(enabled) {}
    ~CExportProgress() { Clear(); }
    void Update(const ExportJobProgress& progress);
    // Wipes the line before a warning or at the end.
    void Clear();

private:
    bool m_enabled;
    bool m_drawn = false;
    std::chrono::steady_clock::time_point m_last;
};
