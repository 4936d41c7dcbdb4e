#include "EcdsaP256Key.h"

#include <cstring>

bool CEcdsaP256Key::Import(const updater::SetupKey& key) {
    m_key.Reset();
    if (!m_algorithm.IsValid())
        m_algorithm = updater::OpenBcryptAlgorithm(BCRYPT_ECDSA_P256_ALGORITHM);
    if (!m_algorithm.IsValid())
        return false;
    // BCRYPT_ECCPUBLIC_BLOB: the header, then X and Y big-endian.
    unsigned char blob[sizeof(BCRYPT_ECCKEY_BLOB) + sizeof key];
    BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, ULONG(sizeof key / 2)};
    std::memcpy(blob, &header, sizeof header);
    std::memcpy(blob + sizeof header, key.data(), sizeof key);
    BCRYPT_KEY_HANDLE hKey = nullptr;
    if (BCryptImportKeyPair(m_algorithm.Get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, &hKey, blob,
                            ULONG(sizeof blob), 0) != 0)
        return false;
    m_key.Reset(hKey);
    return true;
}

bool CEcdsaP256Key::Verify(const updater::SetupDigest& digest,
                           const updater::SetupSignature& signature) const {
    if (!IsImported())
        return false;
    // CNG takes non-const buffers but only reads them.
    updater::SetupDigest hash = digest;
    updater::SetupSignature raw = signature;
    return BCryptVerifySignature(m_key.Get(), nullptr, hash.data(), ULONG(hash.size()), raw.data(),
                                 ULONG(raw.size()), 0) == 0;
}
