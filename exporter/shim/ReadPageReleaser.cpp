#include "ReadPageReleaser.h"

#include "ExportPlatform.h"

#include <algorithm>
#include <cstdint>

void CReadPageReleaser::Touch(const unsigned char* record, std::size_t length) {
    const unsigned char* end = record + length;
    if (!m_low) {
        m_low = record;
        m_high = end;
        return;
    }
    m_low = std::min(m_low, record);
    m_high = std::max(m_high, end);
    if (static_cast<std::size_t>(m_high - m_low) < kSpan)
        return;
    Release(m_low, record);
    Release(end, m_high);
    m_low = record;
    m_high = end;
}

void CReadPageReleaser::Release(const unsigned char* from, const unsigned char* to) {
    const std::uintptr_t page = exporter::MemoryPageSize();
    // Whole pages strictly inside the range: the pages at its ends may hold
    // the record being read.
    std::uintptr_t first = (reinterpret_cast<std::uintptr_t>(from) + page - 1) / page * page;
    std::uintptr_t last = reinterpret_cast<std::uintptr_t>(to) / page * page;
    if (first >= last)
        return;
    exporter::ReleaseMappedPages(first, last - first);
}
