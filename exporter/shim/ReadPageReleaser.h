// Lets the pages of a mapped log go from the process's memory once the walk
// has left them far behind, so that the resident size of an export does not
// grow with the log (the pages stay in the system's file cache).
#pragma once

#include <cstddef>

// Told of every record as it is read, in whatever order; never drops the
// record it is told of.
class CReadPageReleaser {
public:
    void Touch(const unsigned char* record, std::size_t length);

private:
    static constexpr std::size_t kSpan = 4u << 20;
    void Release(const unsigned char* from, const unsigned char* to);
    const unsigned char* m_low = nullptr;
    const unsigned char* m_high = nullptr;
};
