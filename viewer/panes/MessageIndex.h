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
    // A build fed one record at a time, in file order, straight from the walk
    // over the view: no list of every record is ever held.
    void Begin(int32_t filter, int32_t order);
    void Add(const unsigned char* position, uint32_t direction) {
        if (!FilterKeeps(m_filter, direction)) {
            return;
        }
        if (m_first == nullptr) {
            m_first = position;
        }
        // Offsets from the first record: chat logs are under 4 GiB, so a row
        // costs four bytes.
        m_offsets.push_back(static_cast<uint32_t>(position - m_first));
    }
    void Finish();

    // The same from a ready list of positions (directionOf reads a record's
    // direction).
    template <class Positions, class DirectionOf>
    void Build(const Positions& positions, int32_t filter, int32_t order, DirectionOf directionOf) {
        Begin(filter, order);
        for (const auto& position : positions) {
            Add(reinterpret_cast<const unsigned char*>(position), directionOf(position));
        }
        Finish();
    }

    // Forgets every row.
    void Clear();

    int32_t Order() const { return m_order; }
    size_t RowCount() const { return m_offsets.size(); }

    // The record position shown at a row, or null for a row that does not
    // exist. Descending is the exact reverse of file order; nothing is sorted.
    const unsigned char* RecordAt(size_t row) const;

    // Bytes held beyond the mapping.
    size_t MemoryBytes() const { return m_offsets.capacity() * sizeof(uint32_t); }

private:
    const unsigned char* m_first = nullptr; // first listed record
    std::vector<uint32_t> m_offsets;        // listed records, file order
    int32_t m_filter = kFilterAll;
    int32_t m_order = kOrderAscending;
};
