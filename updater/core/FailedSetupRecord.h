// The record a guard leaves when a setup ended without leaving a client, so
// that the client is not closed again and again for a setup that fails every
// time. It lives in the user's temporary folder, where anyone of the user's
// programs can write: so it is read as a hint that can only ever hold back the
// very setup it names, for a bounded time, never a newer one.
#pragma once

#include <cstdint>
#include <string>

namespace updater {

// How long a failed setup is not handed over again: 24 hours.
constexpr std::int64_t kFailedSetupHoldSeconds = 24 * 60 * 60;

struct FailedSetup {
    std::uint32_t version = 0; // the server's packed version
    std::string digestHex;     // the signed SHA-256 in lower-case hex; empty without a key
    std::int64_t time = 0;     // when the setup failed, in seconds since 1970 (UTC)
};

// "version=N\r\ndigest=HEX\r\ntime=N\r\n".
std::string FormatFailedSetupRecord(const FailedSetup& failed);

// Exactly the three lines above (either line end, in any order, each once),
// a version that fits 32 bits, a digest of 64 hex digits or none, a time of
// at most 19 digits; anything else is a damaged record (false).
bool ParseFailedSetupRecord(const std::string& text, FailedSetup& failed);

// Whether `recordText` holds back the setup offered now: a record that reads
// whole, names the same version and the same digest (both none without a
// key; hex compared without case), and was made at most 24 hours before
// `now`. A record from the future (a planted one, or a clock set back) holds
// nothing back.
bool RecordHoldsBack(const std::string& recordText, std::uint32_t offeredVersion,
                     const std::string& offeredDigestHex, std::int64_t now);

} // namespace updater
