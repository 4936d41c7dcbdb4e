// What updater-sign does, apart from its command line so that it is tested:
// a publisher's ECDSA P-256 key pair, and the digest and signature of a setup
// for one version, in the forms the updater reads.
#pragma once

#include "SignedSetup.h"

#include <cstddef>
#include <string>

namespace signer {

// Makes a new key pair and writes its private key (PEM, PKCS#8) to a new file
// readable by its owner only; an existing file is never replaced.
bool GenerateKeyFile(const char* keyPath, updater::SetupKey& publicKey, std::string& error);

// The public key of the private key in `keyPath` (P-256 only).
bool ReadPublicKey(const char* keyPath, updater::SetupKey& publicKey, std::string& error);

// Digest of the file at `setupPath`, and the signature over the message
// "<version>\n<digest in lower case>" with the private key in `keyPath`.
bool SignSetup(const char* keyPath, const char* version, const char* setupPath,
               updater::SetupDigest& digest, updater::SetupSignature& signature,
               std::string& error);

// A version the document can carry and the updater can compare: four decimal
// numbers from 0 to 255 separated by commas, nothing else.
bool IsSignableVersion(const char* version);

// An ECDSA signature in DER (how OpenSSL gives it) as r then s, 32 bytes each,
// big-endian, left-padded with zeros (how the updater's platform takes it).
bool DerSignatureToRaw(const unsigned char* der, std::size_t size, updater::SetupSignature& raw);

} // namespace signer
