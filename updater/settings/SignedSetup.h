// The texts of a signed setup: the publisher's key in Server.ini, the setup's
// digest and signature in the version document, and the message the
// signature covers. Plain byte rules, so that the updater and the publisher's
// tool read and build them alike; the cryptography itself is the platform's.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace updater {

// ECDSA P-256 public key: X then Y, 32 bytes each, big-endian.
using SetupKey = std::array<unsigned char, 64>;
// SHA-256 of the setup file's bytes.
using SetupDigest = std::array<unsigned char, 32>;
// ECDSA P-256 signature: r then s, 32 bytes each, big-endian.
using SetupSignature = std::array<unsigned char, 64>;

// Where the texts live: Server.ini [Update] SetupKey; the version document's
// [Version] SetupSize, SetupSHA256, SetupExpires and SetupSignature.
constexpr char kSetupKeySection[] = "Update";
constexpr char kSetupKeyName[] = "SetupKey";
constexpr char kSetupSizeName[] = "SetupSize";
constexpr char kSetupDigestName[] = "SetupSHA256";
constexpr char kSetupExpiresName[] = "SetupExpires";
constexpr char kSetupSignatureName[] = "SetupSignature";

// Length of an expiry text, "YYYY-MM-DDTHH:MM:SSZ".
constexpr std::size_t kExpiresTextLength = 20;

// Exactly 2 * size hexadecimal digits (either case), nothing before, between
// or after them. On failure `out` is left as it was.
bool ParseHexBytes(const char* text, unsigned char* out, std::size_t size);

template <std::size_t N> bool ParseHexBytes(const char* text, std::array<unsigned char, N>& out) {
    return ParseHexBytes(text, out.data(), N);
}

// Lower-case hexadecimal digits of `size` bytes.
std::string HexText(const unsigned char* bytes, std::size_t size);

// A SetupSize value: decimal digits without sign, blank or leading zero,
// from 1 to 2^32 - 1. The updater's transfers count in 32 bits, and a setup
// of no bytes is no setup.
bool ParseSetupSize(const char* text, std::uint32_t& size);

// A SetupExpires value, exactly "YYYY-MM-DDTHH:MM:SSZ" in UTC (years 1970 to
// 9999, a day that exists in its month, seconds 0 to 59), as whole seconds
// since 1970-01-01T00:00:00Z. On failure `seconds` is left as it was.
bool ParseExpiresText(const char* text, std::int64_t& seconds);

// The same instant written as ParseExpiresText reads it; empty for a time
// before 1970 or after 9999.
std::string ExpiresText(std::int64_t seconds);

// The text the publisher signs, four lines without a trailing newline:
// CurrentVersion, SetupSize, the digest as 64 lower-case digits, and
// SetupExpires (empty when the document has none). Binding the version to
// the digest keeps an old signed setup from passing for a newer version; the
// size bounds what a download may take; the expiry keeps an old document from
// being replayed for ever.
std::string SignedSetupMessage(const char* currentVersion, std::uint32_t size,
                               const SetupDigest& digest, const char* expires);

} // namespace updater
