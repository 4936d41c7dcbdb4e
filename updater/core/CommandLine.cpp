#include "CommandLine.h"

#include "TextRules.h"
#include "UpdaterConstants.h"

namespace updater {

const char* SkipProgramName(const char* commandLine) {
    if (commandLine == nullptr) {
        return "";
    }
    const char* p = commandLine;
    if (*p == '"') {
        // A quoted name runs to the closing quote; blanks inside belong to it.
        ++p;
        while (*p != '\0' && *p != '"') {
            ++p;
        }
        if (*p == '"') {
            ++p;
        }
    } else {
        while (*p != '\0' && *p != ' ' && *p != '\t') {
            ++p;
        }
    }
    if (*p == ' ' || *p == '\t') {
        ++p;
    }
    return p;
}

bool ReadClientVersion(const char* arguments, std::uint32_t& version) {
    if (arguments == nullptr || arguments[0] != kVersionSwitch[0] ||
        (arguments[1] != kVersionSwitch[1] && arguments[1] != 'V')) {
        return false;
    }
    version = static_cast<std::uint32_t>(updater::AtoiWrap(arguments + 2));
    return true;
}

} // namespace updater
