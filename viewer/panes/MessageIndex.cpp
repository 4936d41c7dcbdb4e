#include "MessageIndex.h"

void CMessageIndex::Begin(int32_t filter, int32_t order) {
    Clear();
    m_filter = filter;
    m_order = order;
}

void CMessageIndex::Finish() {
    // Growth may have left up to twice the room; a million rows should not
    // keep four megabytes they do not use.
    if (m_offsets.capacity() - m_offsets.size() > m_offsets.size() / 8) {
        m_offsets.shrink_to_fit();
    }
}

void CMessageIndex::Clear() {
    // swap, not clear(): the memory goes back at once.
    std::vector<uint32_t>().swap(m_offsets);
    m_first = nullptr;
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
