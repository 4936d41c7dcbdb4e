// What updater-sign does, apart from its command line so that it is tested:
// a publisher's ECDSA P-256 key pair, and the digest and signature of a setup
// for one version, in the forms the updater reads.
#pragma once

#include "SignedSetup.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace signer {

// Makes a new key pair and writes its private key (PEM, PKCS#8) to a new file
// readable by its owner only; an existing file is never replaced.
bool GenerateKeyFile(const char* keyPath, updater::SetupKey& publicKey, std::string& error);

// The public key of the private key in `keyPath` (P-256 only).
bool ReadPublicKey(const char* keyPath, updater::SetupKey& publicKey, std::string& error);

// What the version document's [Version] section gets for one signed setup.
struct SignedRelease {
    std::uint32_t size = 0;
    updater::SetupDigest digest{};
    // SetupExpires, empty for none.
    std::string expires;
    updater::SetupSignature signature{};
};

// Size and digest of the file at `setupPath` (1 byte to 2^32 - 1 bytes), and
// the signature with the private key in `keyPath` over the message
// "<version>\n<size>\n<digest in lower case>\n<expires>". `expires` is a
// SetupExpires text or empty (no expiry).
bool SignSetup(const char* keyPath, const char* version, const char* setupPath,
               const std::string& expires, SignedRelease& release, std::string& error);

// SetupExpires for `days` whole days after `now` (seconds since 1970); empty
// when `days` is not 1 to 36500.
std::string ExpiresAfterDays(long long days, std::int64_t now);

// A version the document can carry and the updater can compare: four decimal
// numbers from 0 to 255 separated by commas, nothing else.
bool IsSignableVersion(const char* version);

// An ECDSA signature in DER (how OpenSSL gives it) as r then s, 32 bytes each,
// big-endian, left-padded with zeros (how the updater's platform takes it).
bool DerSignatureToRaw(const unsigned char* der, std::size_t size, updater::SetupSignature& raw);

} // namespace signer
