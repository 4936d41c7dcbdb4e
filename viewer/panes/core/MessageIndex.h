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
    // Most a row may cost, in bytes, counting the room kept for later builds.
    static constexpr size_t kMaxBytesPerRow = 16;

    // Lists the records that walk delivers, in file order, that pass the
    // filter. walk(visit) must call visit(position, direction) for every
    // record of the log in file order, the same ones each time it is called:
    // it is called twice, once to count and once to fill, so the rows take
    // exactly the room they need and no list of every record is ever held.
    template <class Walk> void Build(Walk walk, int32_t filter, int32_t order);

    // The same from a ready list of positions; directionOf reads a record's
    // direction.
    template <class Positions, class DirectionOf>
    void Build(const Positions& positions, int32_t filter, int32_t order, DirectionOf directionOf) {
        Build(
            [&](auto&& visit) {
                for (const auto& position : positions) {
                    visit(reinterpret_cast<const unsigned char*>(position), directionOf(position));
                }
            },
            filter, order);
    }

    // Lists the records of the same log as the last Build (or Refilter)
    // again, for another filter. That Build counted the log's sent and
    // received records, so one walk fills the rows: a filter switch costs
    // one pass over the view, not two. Without such counts it is a Build.
    template <class Walk> void Refilter(Walk walk, int32_t filter, int32_t order);

    // Forgets every row. The room stays for the next build, which for an
    // order or filter switch on a big log saves touching megabytes of fresh
    // memory; Release gives it back, and forgets the log's counts as well.
    void Clear() {
        m_offsets.clear();
        m_first = nullptr;
    }
    void Release();

    // Exact reverse of file order for any order but 1; nothing is sorted.
    void SetOrder(int32_t order) { m_order = order; }
    int32_t Order() const { return m_order; }
    size_t RowCount() const { return m_offsets.size(); }

    // The record position shown at a row, or null for a row that does not exist.
    const unsigned char* RecordAt(size_t row) const;
    // The listed records in file order, whatever the order shown: record i
    // is at First() + Offsets()[i], for i below RowCount().
    const unsigned char* First() const { return m_first; }
    const uint32_t* Offsets() const { return m_offsets.data(); }

    // Bytes held beyond the mapping.
    size_t MemoryBytes() const { return m_offsets.capacity() * sizeof(uint32_t); }

private:
    // Room for `rows`, reusing what is held unless it is too little or more
    // than the per-row limit allows.
    void Prepare(size_t rows);

    // Fills the rows in one walk; at most the room prepared is used.
    template <class Walk> void Fill(Walk walk, int32_t filter);

    const unsigned char* m_first = nullptr; // first listed record
    std::vector<uint32_t> m_offsets;        // listed records, file order, from m_first
    int32_t m_order = kOrderAscending;
    // Records of the log last built, by direction (valid when m_counted).
    size_t m_sentRecords = 0;
    size_t m_receivedRecords = 0;
    bool m_counted = false;
};

template <class Walk> void CMessageIndex::Build(Walk walk, int32_t filter, int32_t order) {
    Clear();
    m_order = order;
    size_t sent = 0, received = 0;
    walk([&sent, &received](const unsigned char*, uint32_t direction) {
        ++(viewer::IsSentDirection(direction) ? sent : received);
    });
    m_sentRecords = sent;
    m_receivedRecords = received;
    m_counted = true;
    Fill(walk, filter);
}

template <class Walk> void CMessageIndex::Refilter(Walk walk, int32_t filter, int32_t order) {
    if (!m_counted) {
        Build(walk, filter, order);
        return;
    }
    Clear();
    m_order = order;
    Fill(walk, filter);
}

template <class Walk> void CMessageIndex::Fill(Walk walk, int32_t filter) {
    // Should the records differ from the counted ones after all, the rows
    // still never outgrow the room.
    Prepare((viewer::FilterKeeps(filter, 0) ? m_sentRecords : 0) +
            (viewer::FilterKeeps(filter, 1) ? m_receivedRecords : 0));
    walk([this, filter](const unsigned char* position, uint32_t direction) {
        if (!viewer::FilterKeeps(filter, direction) || m_offsets.size() == m_offsets.capacity()) {
            return;
        }
        if (m_first == nullptr) {
            m_first = position;
        }
        // Chat logs are under 4 GiB, so a row costs four bytes.
        m_offsets.push_back(static_cast<uint32_t>(position - m_first));
    });
}
