// Exact byte search in time linear in the text whatever the needle: the
// two-way algorithm. The needle is cut at a critical factorization; its
// right part is compared left to right, its left part right to left, and a
// periodic needle remembers the prefix a shift by its period keeps matched.
// Used where checking every candidate place in full would cost the needle's
// length at each (long needles over repetitive text).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace chatlog {

class CTwoWayMatch {
public:
    CTwoWayMatch() = default;
    explicit CTwoWayMatch(std::string_view needle);

    // Calls hit(offset) for every place in text[0, size) where the needle's
    // bytes stand, in ascending order, until hit returns true; whether one
    // did. Reads text[0, size) only.
    template <class Hit> bool ForEach(const unsigned char* text, std::size_t size, Hit&& hit) const;

private:
    std::string m_needle;
    std::size_t m_split = 0;  // the right part starts here
    std::size_t m_period = 1; // the shift after the needle stood in full
    bool m_periodic = false;  // the left part is a repetition: keep a memory
};

template <class Hit>
bool CTwoWayMatch::ForEach(const unsigned char* text, std::size_t size, Hit&& hit) const {
    const auto* x = reinterpret_cast<const unsigned char*>(m_needle.data());
    const std::size_t m = m_needle.size();
    if (m == 0 || !text || size < m)
        return false;
    std::size_t memory = 0; // needle bytes known to stand at the place j
    for (std::size_t j = 0; j <= size - m;) {
        std::size_t i = memory > m_split ? memory : m_split;
        while (i < m && x[i] == text[j + i])
            ++i;
        if (i < m) {
            j += i - m_split + 1;
            memory = 0;
            continue;
        }
        i = m_split;
        while (i > memory && x[i - 1] == text[j + i - 1])
            --i;
        if (i <= memory && hit(j))
            return true;
        j += m_period;
        memory = m_periodic ? m - m_period : 0;
    }
    return false;
}

} // namespace chatlog
