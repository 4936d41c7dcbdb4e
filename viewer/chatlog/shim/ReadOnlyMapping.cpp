// PLATFORM SHIM: see ReadOnlyMapping.h.
#include "ReadOnlyMapping.h"

#include "ReadOnlyFile.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#ifdef MAP_POPULATE
constexpr int kPopulate = MAP_POPULATE;
#else
constexpr int kPopulate = 0;
#endif
#endif

bool CReadOnlyMapping::Map(const CReadOnlyFile& file, std::uint32_t size, bool prefault) {
    Unmap();
    if (!file.IsOpen() || size == 0)
        return false;
#ifdef _WIN32
    HANDLE mapping = CreateFileMappingW(reinterpret_cast<HANDLE>(file.Native()), nullptr,
                                        PAGE_READONLY, 0, size, nullptr);
    if (!mapping)
        return false;
    void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    if (!view) {
        CloseHandle(mapping);
        return false;
    }
    m_hMapping = mapping;
#else
    // The walk reads every page right away: fault them in at once.
    void* view = ::mmap(nullptr, size, PROT_READ, MAP_SHARED | (prefault ? kPopulate : 0),
                        static_cast<int>(file.Native()), 0);
    if (view == MAP_FAILED)
        return false;
#endif
    m_view = static_cast<const unsigned char*>(view);
    m_size = size;
    return true;
}

void CReadOnlyMapping::Unmap() {
#ifdef _WIN32
    if (m_view)
        UnmapViewOfFile(m_view);
    if (m_hMapping)
        CloseHandle(static_cast<HANDLE>(m_hMapping));
#else
    if (m_view)
        ::munmap(const_cast<unsigned char*>(m_view), m_size);
#endif
    m_view = nullptr;
    m_hMapping = nullptr;
    m_size = 0;
}
