// CSha256: one SHA-256 computation through CNG, fed piece by piece (a setup
// is hashed while it arrives, never held in memory). Small pieces are
// gathered and handed to CNG 64 KB at a time: the download's 1 KB blocks
// would otherwise cost one call each.
#pragma once

#include "BcryptHandles.h"
#include "SignedSetup.h"

#include <cstddef>
#include <vector>

class CSha256 {
public:
    // Opens the provider and a hash object; IsValid tells whether it could.
    CSha256();
    CSha256(const CSha256&) = delete;
    CSha256& operator=(const CSha256&) = delete;

    bool IsValid() const { return m_hash.Get() != nullptr && !m_bFailed; }
    // False once any piece could not be hashed; the result is then unusable.
    bool Update(const void* pData, std::size_t nSize);
    // The digest of everything fed so far; the object is spent afterwards.
    bool Finish(updater::SetupDigest& digest);

    // SHA-256 of one whole text.
    static bool Of(const void* pData, std::size_t nSize, updater::SetupDigest& digest);

private:
    static constexpr std::size_t kBatchSize = 64 * 1024;

    bool HashData(const unsigned char* pData, std::size_t nSize);
    bool Flush();

    std::vector<unsigned char> m_pending;
    // Declared provider first: the hash object is destroyed before it.
    CBcryptAlgorithm m_algorithm;
    CBcryptHash m_hash;
    bool m_bFailed = false;
};
