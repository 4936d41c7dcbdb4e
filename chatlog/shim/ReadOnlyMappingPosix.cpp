// PLATFORM SHIM: see ReadOnlyMapping.h. mmap.
#include "ReadOnlyFile.h"
#include "ReadOnlyMapping.h"

#include <sys/mman.h>

namespace {
#ifdef MAP_POPULATE
constexpr int kPopulate = MAP_POPULATE;
#else
constexpr int kPopulate = 0;
#endif
} // namespace

bool CReadOnlyMapping::Map(const CReadOnlyFile& file, std::uint32_t size, bool prefault) {
    Unmap();
    if (!file.IsOpen() || size == 0)
        return false;
    // The walk reads every page right away: fault them in at once.
    void* view = ::mmap(nullptr, size, PROT_READ, MAP_SHARED | (prefault ? kPopulate : 0),
                        static_cast<int>(file.Native()), 0);
    if (view == MAP_FAILED)
        return false;
    m_view = static_cast<const unsigned char*>(view);
    m_size = size;
    return true;
}

void CReadOnlyMapping::Unmap() {
    if (m_view)
        ::munmap(const_cast<unsigned char*>(m_view), m_size);
    m_view = nullptr;
    m_hMapping = nullptr;
    m_size = 0;
}
