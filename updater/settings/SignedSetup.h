// The texts of a signed setup: the publisher's key in Server.ini, the setup's
// digest and signature in the version document, and the message the
// signature covers. Plain byte rules, so that the updater and the publisher's
// tool read and build them alike; the cryptography itself is the platform's.
#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace updater {

// ECDSA P-256 public key: X then Y, 32 bytes each, big-endian.
using SetupKey = std::array<unsigned char, 64>;
// SHA-256 of the setup file's bytes.
using SetupDigest = std::array<unsigned char, 32>;
// ECDSA P-256 signature: r then s, 32 bytes each, big-endian.
using SetupSignature = std::array<unsigned char, 64>;

// Where the texts live: Server.ini [Update] SetupKey; the version document's
// [Version] SetupSHA256 and SetupSignature.
constexpr char kSetupKeySection[] = "Update";
constexpr char kSetupKeyName[] = "SetupKey";
constexpr char kSetupDigestName[] = "SetupSHA256";
constexpr char kSetupSignatureName[] = "SetupSignature";

// Exactly 2 * size hexadecimal digits (either case), nothing before, between
// or after them. On failure `out` is left as it was.
bool ParseHexBytes(const char* text, unsigned char* out, std::size_t size);

template <std::size_t N> bool ParseHexBytes(const char* text, std::array<unsigned char, N>& out) {
    return ParseHexBytes(text, out.data(), N);
}

// Lower-case hexadecimal digits of `size` bytes.
std::string HexText(const unsigned char* bytes, std::size_t size);

// The text the publisher signs: the CurrentVersion value, "\n", and the
// digest as 64 lower-case digits, without a trailing newline. Binding the
// version to the digest keeps an old signed setup from passing for a newer
// version.
std::string SignedSetupMessage(const char* currentVersion, const SetupDigest& digest);

} // namespace updater
