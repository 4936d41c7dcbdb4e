// The rows of the message list: which records of a mapped chat log are
// listed, and in which order. Rows are offsets into the mapped view, never
// copies; the list control asks for rows by number and gets record positions.
#pragma once

#include "MessageListRules.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class CMessageIndex {
public:
    // Keeps, in file order, every record position that passes the filter.
    // directionOf(position) reads a record's direction. Positions must lie
    // in the view starting at `view`, which must be under 4 GiB (chat log
    // sizes are 32-bit), so a row costs four bytes.
    template <class Positions, class DirectionOf>
    void Build(const void* view, const Positions& positions, int32_t filter, int32_t order,
               DirectionOf directionOf);

    // Forgets every row and the view.
    void Clear();

    // Exact reverse of file order for descending; nothing is sorted.
    void SetOrder(int32_t order) { m_order = order; }
    int32_t Order() const { return m_order; }

    size_t RowCount() const { return m_offsets.size(); }
    const void* View() const { return m_view; }

    // The record position shown at a row, or null for a row that does not exist.
    const unsigned char* RecordAt(size_t row) const;

    // Bytes held beyond the mapping.
    size_t MemoryBytes() const { return m_offsets.capacity() * sizeof(uint32_t); }

private:
    const unsigned char* m_view = nullptr;
    std::vector<uint32_t> m_offsets; // listed records, file order
    int32_t m_order = kOrderAscending;
};

template <class Positions, class DirectionOf>
void CMessageIndex::Build(const void* view, const Positions& positions, int32_t filter,
                          int32_t order, DirectionOf directionOf) {
    Clear();
    m_order = order;
    if (view == nullptr || positions.empty()) {
        return;
    }
    m_view = static_cast<const unsigned char*>(view);
    // Room for every record up front: one allocation, no regrowth copies;
    // trimmed below when a filter kept far fewer.
    m_offsets.reserve(positions.size());
    for (const auto& position : positions) {
        const auto* p = reinterpret_cast<const unsigned char*>(position);
        if (FilterKeeps(filter, directionOf(position))) {
            m_offsets.push_back(static_cast<uint32_t>(p - m_view));
        }
    }
    if (m_offsets.size() < m_offsets.capacity() / 2) {
        m_offsets.shrink_to_fit();
    }
}
