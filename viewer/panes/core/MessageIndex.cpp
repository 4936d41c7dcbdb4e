#include "MessageIndex.h"

void CMessageIndex::Release() {
    std::vector<uint32_t>().swap(m_offsets);
    m_first = nullptr;
    m_counted = false;
}

void CMessageIndex::Prepare(size_t rows) {
    const size_t limit = rows * (kMaxBytesPerRow / sizeof(uint32_t));
    if (m_offsets.capacity() < rows || m_offsets.capacity() > limit) {
        std::vector<uint32_t>().swap(m_offsets);
        m_offsets.reserve(rows);
    }
}

const unsigned char* CMessageIndex::RecordAt(size_t row) const {
    const size_t n = m_offsets.size();
    if (row >= n) {
        return nullptr;
    }
    // Only order 1 keeps file order; every other value lists the exact reverse.
    const size_t i = m_order == kOrderAscending ? row : n - 1 - row;
    return m_first + m_offsets[i];
}
