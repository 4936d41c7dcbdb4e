// PLATFORM SHIM. A read-only, in-place view of the first bytes of an open
// file: CreateFileMapping/MapViewOfFile on Windows, mmap elsewhere.
#pragma once

#include <cstdint>

class CReadOnlyFile;

class CReadOnlyMapping {
public:
    CReadOnlyMapping() = default;
    ~CReadOnlyMapping() { Unmap(); }
    CReadOnlyMapping(const CReadOnlyMapping&) = delete;
    CReadOnlyMapping& operator=(const CReadOnlyMapping&) = delete;

    // Maps the first `size` bytes (size > 0) of the file; false if either
    // the mapping or the view cannot be made, leaving nothing mapped.
    // `prefault` reads every page in at once (where the system can), for a
    // reader that walks it all right away and keeps it; a streaming reader
    // that lets pages go behind it asks for none.
    bool Map(const CReadOnlyFile& file, std::uint32_t size, bool prefault = true);
    // Unmaps the view and closes the mapping object; safe when unmapped.
    void Unmap();

    bool IsMapped() const { return m_view != nullptr; }
    const unsigned char* View() const { return m_view; }
    std::uint32_t Size() const { return m_size; }

private:
    const unsigned char* m_view = nullptr;
    std::uint32_t m_size = 0;
    // The mapping object behind the view (Windows); unused on POSIX.
    void* m_hMapping = nullptr;
};
