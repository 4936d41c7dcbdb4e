#include "SignedSetup.h"

#include <cstdio>
#include <cstring>

namespace updater {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar, and
// back (Howard Hinnant's well-known civil-date arithmetic).
std::int64_t DaysFromCivil(int year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int yearOfEra = static_cast<int>(year - era * 400);
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(std::int64_t days, int& year, int& month, int& day) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int dayOfEra = static_cast<int>(days - era * 146097);
    const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int monthIndex = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    year = static_cast<int>(yearOfEra + era * 400) + (month <= 2 ? 1 : 0);
}

} // namespace

bool ParseHexBytes(const char* text, unsigned char* out, std::size_t size) {
    if (text == nullptr || out == nullptr || std::strlen(text) != 2 * size) {
        return false;
    }
    for (std::size_t i = 0; i < 2 * size; ++i) {
        if (HexValue(text[i]) < 0) {
            return false;
        }
    }
    for (std::size_t i = 0; i < size; ++i) {
        out[i] = static_cast<unsigned char>(HexValue(text[2 * i]) * 16 + HexValue(text[2 * i + 1]));
    }
    return true;
}

std::string HexText(const unsigned char* bytes, std::size_t size) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(2 * size);
    for (std::size_t i = 0; i < size; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

bool ParseSetupSize(const char* text, std::uint32_t& size) {
    if (text == nullptr || *text < '1' || *text > '9') {
        return false;
    }
    std::uint64_t value = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') {
            return false;
        }
        value = value * 10 + unsigned(*p - '0');
        if (value > UINT32_MAX) {
            return false;
        }
    }
    size = static_cast<std::uint32_t>(value);
    return true;
}

bool ParseExpiresText(const char* text, std::int64_t& seconds) {
    // Digits where the pattern has '9', the separators where it has them.
    static const char kPattern[] = "9999-99-99T99:99:99Z";
    if (text == nullptr) {
        return false;
    }
    for (std::size_t i = 0; i <= kExpiresTextLength; ++i) {
        const char c = text[i];
        const bool fits = kPattern[i] == '9' ? c >= '0' && c <= '9' : c == kPattern[i];
        if (!fits) {
            return false;
        }
    }
    auto number = [text](std::size_t at, std::size_t digits) {
        int value = 0;
        for (std::size_t i = at; i < at + digits; ++i) {
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    const int year = number(0, 4), month = number(5, 2), day = number(8, 2);
    const int hour = number(11, 2), minute = number(14, 2), second = number(17, 2);
    static const int kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (year < 1970 || month < 1 || month > 12 || day < 1 ||
        day > kDaysInMonth[month - 1] + (month == 2 && leap ? 1 : 0) || hour > 23 || minute > 59 ||
        second > 59) {
        return false;
    }
    seconds = DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
    return true;
}

std::string ExpiresText(std::int64_t seconds) {
    if (seconds < 0) {
        return "";
    }
    int year = 0, month = 0, day = 0;
    CivilFromDays(seconds / 86400, year, month, day);
    if (year > 9999) {
        return "";
    }
    const int inDay = static_cast<int>(seconds % 86400);
    char text[kExpiresTextLength + 1];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", year, month, day,
                  inDay / 3600, inDay / 60 % 60, inDay % 60);
    return text;
}

std::string SignedSetupMessage(const char* currentVersion, std::uint32_t size,
                               const SetupDigest& digest, const char* expires) {
    std::string message = currentVersion != nullptr ? currentVersion : "";
    message += '\n';
    message += std::to_string(size);
    message += '\n';
    message += HexText(digest.data(), digest.size());
    message += '\n';
    message += expires != nullptr ? expires : "";
    return message;
}

} // namespace updater
