#include "ExportProgress.h"

#include <cstdio>
#include <string>

void CExportProgress::Update(const ExportJobProgress& progress) {
    if (!m_enabled)
        return;
    const std::size_t filesDone = progress.friendsDone;
    const std::size_t files = progress.friendsTotal;
    // The last file's end is always drawn.
    const bool force = files != 0 && filesDone == files;
    auto now = std::chrono::steady_clock::now();
    if (!force && m_drawn && now - m_last < std::chrono::milliseconds(100))
        return;
    m_last = now;
    m_drawn = true;
    constexpr int kWidth = 30;
    int filled = files ? static_cast<int>(filesDone * kWidth / files) : kWidth;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.resize(kWidth, '.');
    std::fprintf(stderr, "\r[%s] %zu/%zu files, %llu messages ", bar.c_str(), filesDone, files,
                 static_cast<unsigned long long>(progress.messagesDone));
    std::fflush(stderr);
}

void CExportProgress::Clear() {
    if (m_enabled && m_drawn) {
        std::fprintf(stderr, "\r%*s\r", 70, "");
        std::fflush(stderr);
        m_drawn = false;
    }
}
