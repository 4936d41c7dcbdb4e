#include "CEcdsaP256Key.h"

#include <cstring>

bool CEcdsaP256Key::Import(const vemli::SetupKey& key) {
    m_key.Close();
    if (m_algorithm.Get() == nullptr && !m_algorithm.Open(BCRYPT_ECDSA_P256_ALGORITHM))
        return false;
    // BCRYPT_ECCPUBLIC_BLOB: the header, then X and Y big-endian.
    unsigned char blob[sizeof(BCRYPT_ECCKEY_BLOB) + sizeof key];
    BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, ULONG(sizeof key / 2)};
    std::memcpy(blob, &header, sizeof header);
    std::memcpy(blob + sizeof header, key.data(), sizeof key);
    if (BCryptImportKeyPair(m_algorithm.Get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, m_key.Receive(),
                            blob, ULONG(sizeof blob), 0) != 0) {
        m_key.Close();
        return false;
    }
    return true;
}

bool CEcdsaP256Key::Verify(const vemli::SetupDigest& digest,
                           const vemli::SetupSignature& signature) const {
    if (!IsImported())
        return false;
    // CNG takes non-const buffers but only reads them.
    vemli::SetupDigest hash = digest;
    vemli::SetupSignature raw = signature;
    return BCryptVerifySignature(m_key.Get(), nullptr, hash.data(), ULONG(hash.size()), raw.data(),
                                 ULONG(raw.size()), 0) == 0;
}
