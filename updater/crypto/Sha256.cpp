#include "Sha256.h"

#include <algorithm>
#include <climits>

CSha256::CSha256() {
    m_pending.reserve(kBatchSize);
    m_algorithm = updater::OpenBcryptAlgorithm(BCRYPT_SHA256_ALGORITHM);
    if (!m_algorithm.IsValid())
        return;
    // Null object buffer: CNG allocates and frees the hash object itself.
    BCRYPT_HASH_HANDLE hHash = nullptr;
    if (BCryptCreateHash(m_algorithm.Get(), &hHash, nullptr, 0, nullptr, 0, 0) == 0)
        m_hash.Reset(hHash);
}

bool CSha256::Update(const void* pData, std::size_t nSize) {
    const unsigned char* p = static_cast<const unsigned char*>(pData);
    while (IsValid() && nSize > 0) {
        if (m_pending.empty() && nSize >= kBatchSize)
            return HashData(p, nSize);
        const std::size_t nTake = std::min(nSize, kBatchSize - m_pending.size());
        m_pending.insert(m_pending.end(), p, p + nTake);
        p += nTake;
        nSize -= nTake;
        if (m_pending.size() == kBatchSize)
            Flush();
    }
    return IsValid();
}

bool CSha256::HashData(const unsigned char* pData, std::size_t nSize) {
    while (IsValid() && nSize > 0) {
        const ULONG nPiece = nSize > ULONG_MAX ? ULONG_MAX : ULONG(nSize);
        if (BCryptHashData(m_hash.Get(), const_cast<PUCHAR>(pData), nPiece, 0) != 0)
            m_bFailed = true;
        pData += nPiece;
        nSize -= nPiece;
    }
    return IsValid();
}

bool CSha256::Flush() {
    const bool bDone = HashData(m_pending.data(), m_pending.size());
    m_pending.clear();
    return bDone;
}

bool CSha256::Finish(updater::SetupDigest& digest) {
    if (!Flush())
        return false;
    const bool bDone = BCryptFinishHash(m_hash.Get(), digest.data(), ULONG(digest.size()), 0) == 0;
    m_bFailed = true;
    return bDone;
}

bool CSha256::Of(const void* pData, std::size_t nSize, updater::SetupDigest& digest) {
    CSha256 hash;
    return hash.Update(pData, nSize) && hash.Finish(digest);
}
