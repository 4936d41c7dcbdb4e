#include "MessageIndex.h"

void CMessageIndex::Clear() {
    // swap, not clear(): a million rows should give their memory back.
    std::vector<uint32_t>().swap(m_offsets);
    m_view = nullptr;
}

const unsigned char* CMessageIndex::RecordAt(size_t row) const {
    const size_t n = m_offsets.size();
    if (row >= n) {
        return nullptr;
    }
    // Only order 1 keeps file order; every other value lists the exact reverse.
    const size_t i = m_order == kOrderAscending ? row : n - 1 - row;
    return m_view + m_offsets[i];
}
