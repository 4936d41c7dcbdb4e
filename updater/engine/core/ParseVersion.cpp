#include "ParseVersion.h"

#include <cstdio>

namespace updater {

std::uint32_t ParseVersion(const char* pszText) {
    if (pszText == nullptr)
        return 0;
    unsigned int a = 0, b = 0, c = 0, d = 0;
    if (std::sscanf(pszText, "%u,%u,%u,%u", &a, &b, &c, &d) < 4)
        return 0;
    return (std::uint32_t(a & 0xFF) << 24) | (std::uint32_t(b & 0xFF) << 16) |
           (std::uint32_t(c & 0xFF) << 8) | std::uint32_t(d & 0xFF);
}

} // namespace updater
