#include "FailedSetupRecord.h"

#include "TextRules.h"

#include <cstdio>

namespace updater {

namespace {

constexpr std::size_t kDigestHexLength = 64;
constexpr std::size_t kMaxTimeDigits = 19; // below 2^63

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Plain decimal digits, none else, at most `maxDigits` and at most `limit`.
bool ReadNumber(const std::string& text, std::size_t maxDigits, std::uint64_t limit,
                std::uint64_t& value) {
    if (text.empty() || text.size() > maxDigits) {
        return false;
    }
    value = 0;
    for (char c : text) {
        if (!IsDigit(c)) {
            return false;
        }
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value <= limit;
}

bool ReadDigest(const std::string& text, std::string& digest) {
    if (!text.empty() && text.size() != kDigestHexLength) {
        return false;
    }
    digest.clear();
    for (char c : text) {
        if (!IsHexDigit(c)) {
            return false;
        }
        digest += (c >= 'A' && c <= 'F') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return true;
}

// One "name=value" line into `failed`; `seen` has a bit per name so that none
// counts twice.
bool ReadLine(const std::string& line, FailedSetup& failed, unsigned& seen) {
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) {
        return false;
    }
    const std::string name = line.substr(0, equals);
    const std::string value = line.substr(equals + 1);
    std::uint64_t number = 0;
    unsigned bit = 0;
    if (name == "version" && ReadNumber(value, 10, 0xFFFFFFFFu, number)) {
        failed.version = static_cast<std::uint32_t>(number);
        bit = 1;
    } else if (name == "digest" && ReadDigest(value, failed.digestHex)) {
        bit = 2;
    } else if (name == "time" && ReadNumber(value, kMaxTimeDigits, 0x7FFFFFFFFFFFFFFFull, number)) {
        failed.time = static_cast<std::int64_t>(number);
        bit = 4;
    }
    if (bit == 0 || (seen & bit) != 0) {
        return false;
    }
    seen |= bit;
    return true;
}

} // namespace

std::string FormatFailedSetupRecord(const FailedSetup& failed) {
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "%lu", static_cast<unsigned long>(failed.version));
    std::string text = std::string("version=") + numbers + "\r\ndigest=" + failed.digestHex;
    std::snprintf(numbers, sizeof numbers, "%lld", static_cast<long long>(failed.time));
    return text + "\r\ntime=" + numbers + "\r\n";
}

bool ParseFailedSetupRecord(const std::string& text, FailedSetup& failed) {
    FailedSetup read;
    unsigned seen = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            return false; // cut off: the last line has no line end
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!ReadLine(line, read, seen)) {
            return false;
        }
        start = end + 1;
    }
    if (seen != 7) {
        return false;
    }
    failed = read;
    return true;
}

bool RecordHoldsBack(const std::string& recordText, std::uint32_t offeredVersion,
                     const std::string& offeredDigestHex, std::int64_t now) {
    FailedSetup failed;
    std::string offered;
    if (!ParseFailedSetupRecord(recordText, failed) || !ReadDigest(offeredDigestHex, offered)) {
        return false;
    }
    if (failed.version != offeredVersion || failed.digestHex != offered) {
        return false;
    }
    return failed.time <= now && now - failed.time <= kFailedSetupHoldSeconds;
}

} // namespace updater
