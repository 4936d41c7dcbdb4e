// PLATFORM SHIM, Windows side: see MappedReadGuard.h (nothing to guard).
#include "MappedReadGuard.h"

CMappedReadGuard::CMappedReadGuard(const unsigned char*, std::size_t) {}

CMappedReadGuard::~CMappedReadGuard() = default;

bool CMappedReadGuard::Shrunk() const {
    return false;
}
