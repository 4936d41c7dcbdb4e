// CEcdsaP256Key: the publisher's ECDSA P-256 public key, imported into CNG,
// which checks signatures over SHA-256 digests.
#pragma once

#include "BcryptHandles.h"
#include "SignedSetup.h"

class CEcdsaP256Key {
public:
    CEcdsaP256Key() = default;
    CEcdsaP256Key(const CEcdsaP256Key&) = delete;
    CEcdsaP256Key& operator=(const CEcdsaP256Key&) = delete;

    // False when the platform refuses the key. Some platforms import a point
    // that is not on the curve; such a key then verifies nothing.
    bool Import(const updater::SetupKey& key);
    bool IsImported() const { return m_key.Get() != nullptr; }

    // True only when the platform reports success for this signature (raw
    // r then s) over this digest.
    bool Verify(const updater::SetupDigest& digest, const updater::SetupSignature& signature) const;

private:
    CBcryptAlgorithm m_algorithm;
    CBcryptKey m_key;
};
