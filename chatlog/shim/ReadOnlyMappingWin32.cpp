// PLATFORM SHIM: see ReadOnlyMapping.h. CreateFileMapping and MapViewOfFile.
#include "ReadOnlyFile.h"
#include "ReadOnlyMapping.h"

#include <windows.h>

bool CReadOnlyMapping::Map(const CReadOnlyFile& file, std::uint32_t size, bool prefault) {
    Unmap();
    if (!file.IsOpen() || size == 0)
        return false;
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
    m_view = static_cast<const unsigned char*>(view);
    m_size = size;
    return true;
}

void CReadOnlyMapping::Unmap() {
    if (m_view)
        UnmapViewOfFile(m_view);
    if (m_hMapping)
        CloseHandle(static_cast<HANDLE>(m_hMapping));
    m_view = nullptr;
    m_hMapping = nullptr;
    m_size = 0;
}
