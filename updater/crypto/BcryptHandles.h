// Owners of CNG handles: each closes its handle once. The key must go before
// the provider it came from, so keep them declared provider first.
#pragma once

#include "UniqueHandle.h"

#include <windows.h>

#include <bcrypt.h>

struct BcryptAlgorithmTraits {
    using Handle = BCRYPT_ALG_HANDLE;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { ::BCryptCloseAlgorithmProvider(h, 0); }
};
using CBcryptAlgorithm = CUniqueHandle<BcryptAlgorithmTraits>;

struct BcryptKeyTraits {
    using Handle = BCRYPT_KEY_HANDLE;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { ::BCryptDestroyKey(h); }
};
using CBcryptKey = CUniqueHandle<BcryptKeyTraits>;

struct BcryptHashTraits {
    using Handle = BCRYPT_HASH_HANDLE;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { ::BCryptDestroyHash(h); }
};
using CBcryptHash = CUniqueHandle<BcryptHashTraits>;

namespace updater {

// The provider of `pszAlgorithm` (a BCRYPT_*_ALGORITHM name); invalid when it
// cannot be opened.
inline CBcryptAlgorithm OpenBcryptAlgorithm(LPCWSTR pszAlgorithm) {
    BCRYPT_ALG_HANDLE hAlgorithm = nullptr;
    if (BCryptOpenAlgorithmProvider(&hAlgorithm, pszAlgorithm, nullptr, 0) != 0)
        hAlgorithm = nullptr;
    return CBcryptAlgorithm(hAlgorithm);
}

} // namespace updater
