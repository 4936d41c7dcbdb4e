#include "GuardRules.h"

#include <cstdio>
#include <cstring>

namespace updater {

namespace {

constexpr std::size_t kMaxGuardSuffix = 40;

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

} // namespace

bool FormatGuardFolderName(std::uint32_t processId, std::uint64_t tick, unsigned attempt, char* out,
                           std::size_t size) {
    const int needed = std::snprintf(nullptr, 0, "%s%lX-%llX-%X", kGuardFolderPrefix,
                                     static_cast<unsigned long>(processId),
                                     static_cast<unsigned long long>(tick), attempt);
    if (out == nullptr || needed < 0 || static_cast<std::size_t>(needed) + 1 > size) {
        return false;
    }
    std::snprintf(out, size, "%s%lX-%llX-%X", kGuardFolderPrefix,
                  static_cast<unsigned long>(processId), static_cast<unsigned long long>(tick),
                  attempt);
    return true;
}

bool IsGuardFolderName(const char* name) {
    const std::size_t prefix = sizeof kGuardFolderPrefix - 1;
    if (name == nullptr || std::strncmp(name, kGuardFolderPrefix, prefix) != 0) {
        return false;
    }
    const char* suffix = name + prefix;
    const std::size_t length = std::strlen(suffix);
    if (length == 0 || length > kMaxGuardSuffix || suffix[0] == '-' || suffix[length - 1] == '-') {
        return false;
    }
    for (const char* p = suffix; *p != '\0'; ++p) {
        if (!IsHexDigit(*p) && *p != '-') {
            return false;
        }
    }
    return true;
}

std::uint32_t GuardSetupLimitMs(const char* variableValue) {
    if (variableValue == nullptr || *variableValue == '\0' || std::strlen(variableValue) > 10) {
        return kGuardSetupLimitMs;
    }
    std::uint64_t value = 0;
    for (const char* p = variableValue; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') {
            return kGuardSetupLimitMs;
        }
        value = value * 10 + static_cast<unsigned>(*p - '0');
    }
    return value >= 1 && value <= kGuardSetupLimitMs ? static_cast<std::uint32_t>(value)
                                                     : kGuardSetupLimitMs;
}

GuardVerdict DecideAfterSetup(const SetupOutcome& outcome) {
    GuardVerdict verdict = {};
    if (outcome.clientPresent) {
        verdict.dropCopy = outcome.haveCopy && !outcome.timedOut;
        return verdict;
    }
    verdict.restore = outcome.haveCopy;
    verdict.recordFailure = true;
    verdict.restartClient = outcome.haveCopy && outcome.clientAgreed;
    return verdict;
}

} // namespace updater
