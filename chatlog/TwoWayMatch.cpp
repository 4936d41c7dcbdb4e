#include "TwoWayMatch.h"

#include <cstring>

namespace chatlog {

namespace {

// The start of the needle's lexicographically greatest suffix (by the byte
// order, or by its reverse), and that suffix's period.
std::size_t MaximalSuffix(const unsigned char* x, std::size_t m, bool reversed,
                          std::size_t& period) {
    // Indices are kept one up, so that "before the needle" is 0.
    std::size_t start = 0, j = 1, k = 1;
    period = 1;
    while (j + k <= m) {
        const unsigned char a = x[j + k - 1];
        const unsigned char b = x[start + k - 1];
        if (reversed ? a > b : a < b) {
            j += k;
            k = 1;
            period = j - start;
        } else if (a == b) {
            if (k != period) {
                ++k;
            } else {
                j += period;
                k = 1;
            }
        } else {
            start = j;
            j = start + 1;
            k = period = 1;
        }
    }
    return start;
}

} // namespace

CTwoWayMatch::CTwoWayMatch(std::string_view needle) : m_needle(needle) {
    const auto* x = reinterpret_cast<const unsigned char*>(m_needle.data());
    const std::size_t m = m_needle.size();
    if (m == 0)
        return;
    std::size_t period = 1, reversedPeriod = 1;
    const std::size_t split = MaximalSuffix(x, m, false, period);
    const std::size_t reversedSplit = MaximalSuffix(x, m, true, reversedPeriod);
    m_split = split > reversedSplit ? split : reversedSplit;
    m_period = split > reversedSplit ? period : reversedPeriod;
    if (std::memcmp(x, x + m_period, m_split) == 0) {
        m_periodic = true;
    } else {
        m_periodic = false;
        m_period = (m_split > m - m_split ? m_split : m - m_split) + 1;
    }
}

} // namespace chatlog
