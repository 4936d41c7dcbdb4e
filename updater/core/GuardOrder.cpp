#include "GuardOrder.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace updater {

namespace {

constexpr std::size_t kNumberFields = 6;
constexpr std::size_t kTextFields = 3;

bool Quotable(const std::string& text) {
    return !text.empty() && text.find('"') == std::string::npos;
}

// Splits at single blanks; a field that begins with '"' runs to the next '"'
// and must be followed by a blank or the end.
bool SplitFields(const char* text, std::vector<std::string>& fields) {
    const char* p = text;
    while (*p != '\0') {
        if (*p == '"') {
            const char* close = std::strchr(p + 1, '"');
            if (close == nullptr) {
                return false;
            }
            fields.emplace_back(p + 1, close);
            p = close + 1;
        } else {
            const char* end = p;
            while (*end != '\0' && *end != ' ' && *end != '"') {
                ++end;
            }
            if (end == p) {
                return false; // two blanks in a row, or a blank at the start
            }
            fields.emplace_back(p, end);
            p = end;
        }
        if (*p == ' ') {
            ++p;
            if (*p == '\0') {
                return false;
            }
        } else if (*p != '\0') {
            return false;
        }
    }
    return true;
}

bool ReadUnsigned(const std::string& text, std::uint64_t limit, std::uint64_t& value) {
    if (text.empty() || text.size() > 20) {
        return false;
    }
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        const unsigned digit = static_cast<unsigned>(c - '0');
        if (digit > limit || value > (limit - digit) / 10) {
            return false;
        }
        value = value * 10 + digit;
    }
    return true;
}

bool ReadDigestField(const std::string& text, std::string& digest) {
    if (text == "-") {
        digest.clear();
        return true;
    }
    if (text.size() != 64 || text.find_first_not_of("0123456789abcdef") != std::string::npos) {
        return false;
    }
    digest = text;
    return true;
}

} // namespace

bool FormatGuardArguments(const GuardOrder& order, std::string& arguments) {
    if (!Quotable(order.setupPath) || !Quotable(order.setupArguments) ||
        !Quotable(order.installFolder) || order.digestHex.find(' ') != std::string::npos) {
        return false;
    }
    char numbers[128];
    std::snprintf(numbers, sizeof numbers, "%llu %llu %llu %d %lu",
                  static_cast<unsigned long long>(order.updaterProcess),
                  static_cast<unsigned long long>(order.instanceMutex),
                  static_cast<unsigned long long>(order.heldSetup), order.clientAgreed ? 1 : 0,
                  static_cast<unsigned long>(order.version));
    arguments = std::string(kGuardSwitch) + " " + numbers + " " +
                (order.digestHex.empty() ? "-" : order.digestHex) + " \"" + order.setupPath +
                "\" \"" + order.setupArguments + "\" \"" + order.installFolder + "\"";
    return true;
}

bool IsGuardArguments(const char* arguments) {
    const std::size_t length = sizeof kGuardSwitch - 1;
    return arguments != nullptr && std::strncmp(arguments, kGuardSwitch, length) == 0 &&
           arguments[length] == ' ';
}

bool ParseGuardArguments(const char* arguments, GuardOrder& order) {
    std::vector<std::string> fields;
    if (!IsGuardArguments(arguments) || !SplitFields(arguments + sizeof kGuardSwitch, fields) ||
        fields.size() != kNumberFields + kTextFields) {
        return false;
    }
    GuardOrder read;
    std::uint64_t agreed = 0;
    std::uint64_t version = 0;
    if (!ReadUnsigned(fields[0], UINT64_MAX, read.updaterProcess) ||
        !ReadUnsigned(fields[1], UINT64_MAX, read.instanceMutex) ||
        !ReadUnsigned(fields[2], UINT64_MAX, read.heldSetup) ||
        !ReadUnsigned(fields[3], 1, agreed) || !ReadUnsigned(fields[4], 0xFFFFFFFFu, version) ||
        !ReadDigestField(fields[5], read.digestHex)) {
        return false;
    }
    read.clientAgreed = agreed == 1;
    read.version = static_cast<std::uint32_t>(version);
    read.setupPath = fields[6];
    read.setupArguments = fields[7];
    read.installFolder = fields[8];
    if (read.setupPath.empty() || read.setupArguments.empty() || read.installFolder.empty()) {
        return false;
    }
    order = read;
    return true;
}

} // namespace updater
