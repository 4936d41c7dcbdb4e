#include "ExportProgress.h"

#include <cstdio>
#include <string>

void CExportProgress::Update(std::size_t filesDone, std::uint64_t messages, bool force) {
    if (!m_enabled)
        return;
    auto now = std::chrono::steady_clock::now();
    if (!force && m_drawn && now - m_last < std::chrono::milliseconds(100))
        return;
    m_last = now;
    m_drawn = true;
    constexpr int kWidth = 30;
    int filled = m_files ? static_cast<int>(filesDone * kWidth / m_files) : kWidth;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.resize(kWidth, '.');
    std::fprintf(stderr, "\r[%s] %zu/%zu files, %llu messages ", bar.c_str(), filesDone, m_files,
                 static_cast<unsigned long long>(messages));
    std::fflush(stderr);
}

void CExportProgress::Clear() {
    if (m_enabled && m_drawn) {
        std::fprintf(stderr, "\r%*s\r", 70, "");
        std::fflush(stderr);
        m_drawn = false;
    }
}
