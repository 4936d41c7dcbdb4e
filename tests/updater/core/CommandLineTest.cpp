#include "CommandLine.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

struct SkipCase {
    const char* commandLine;
    const char* arguments;
};

TEST(CommandLine, SkipsProgramNameAndOneBlank) {
    const SkipCase cases[] = {
        {"updater.exe -v1", "-v1"},
        {"updater.exe  -v1", " -v1"}, // the second blank is the arguments' own
        {"updater.exe\t-v1", "-v1"},
        {"\"C:\\Program Files\\Vemli\\updater.exe\" -v1", "-v1"},
        {"\"C:\\Program Files\\Vemli\\updater.exe\"-v1", "-v1"},
        {"\"C:\\a b\\updater.exe\"  /v1", " /v1"},
        {"C:\\Vemli\\updater.exe", ""},
        {"\"unterminated name -v1", ""},
        {"", ""},
        {nullptr, ""},
    };
    for (const SkipCase& c : cases) {
        const char* label = c.commandLine != nullptr ? c.commandLine : "(null)";
        EXPECT_STREQ(updater::SkipProgramName(c.commandLine), c.arguments) << label;
    }
}

struct VersionCase {
    const char* arguments;
    bool accepted;
    std::uint32_t version;
};

TEST(CommandLine, ReadsClientVersion) {
    const VersionCase cases[] = {
        {"-v16909060", true, 0x01020304},
        {"-V16909060", true, 0x01020304},
        {"-v", true, 0},
        {"-v 42", true, 42}, // atoi skips white space
        {"-v\t\n42", true, 42},
        {"-v+42", true, 42},
        {"-v42 -x 7", true, 42}, // what follows the digits is ignored
        {"-v42abc", true, 42},
        {"-vabc", true, 0},
        {"-v-1", true, 0xFFFFFFFFu}, // atoi's -1 taken as unsigned
        {"-v4294967295", true, 0xFFFFFFFFu},
        {"-v4294967296", true, 0}, // wraps instead of being undefined
        {"-v4294967297", true, 1},
        {"-v2147483648", true, 0x80000000u},
        {"-version", true, 0},
        {" -v16909060", false, 0},
        {"/v16909060", false, 0},
        {"v16909060", false, 0},
        {"--v1", false, 0},
        {"-x1", false, 0},
        {"-", false, 0},
        {"", false, 0},
        {nullptr, false, 0},
    };
    for (const VersionCase& c : cases) {
        const char* label = c.arguments != nullptr ? c.arguments : "(null)";
        std::uint32_t version = 0xDEADBEEF;
        EXPECT_EQ(updater::ReadClientVersion(c.arguments, version), c.accepted) << label;
        EXPECT_EQ(version, c.accepted ? c.version : 0xDEADBEEF) << label;
    }
}

TEST(CommandLine, FullLineAsTheClientStartsUs) {
    std::uint32_t version = 0;
    EXPECT_TRUE(updater::ReadClientVersion(
        updater::SkipProgramName("\"C:\\Vemli\\updater.exe\" -v16909060"), version));
    EXPECT_EQ(version, 16909060u);
    EXPECT_FALSE(updater::ReadClientVersion(updater::SkipProgramName("updater.exe  -v1"), version));
}

} // namespace
