// PLATFORM SHIM. Reads of a mapped log that another program may shrink
// while they run: on POSIX a page past the file's new end faults (SIGBUS)
// and would end the export. While a guard stands, such a page reads as
// zeros instead, which the record walk takes for the end of the records:
// the walk ends there as at damage, and the guard says the file shrank.
// On Windows a mapped file cannot be shrunk, and the guard does nothing.
// MappedReadGuardPosix.cpp, MappedReadGuardWin32.cpp.
#pragma once

#include <cstddef>

class CMappedReadGuard {
public:
    // Guards [view, view + size) until destroyed; a null view guards nothing.
    CMappedReadGuard(const unsigned char* view, std::size_t size);
    ~CMappedReadGuard();
    CMappedReadGuard(const CMappedReadGuard&) = delete;
    CMappedReadGuard& operator=(const CMappedReadGuard&) = delete;

    // A read met a page that the file no longer holds.
    bool Shrunk() const;

private:
    int m_slot = -1;
};
