#include "UpdaterPaths.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct PathCase {
    const char* folder;
    const char* path;
    bool ok;
    const char* expected;
};

TEST(UpdaterPaths, ResolvesAgainstCurrentFolder) {
    const PathCase cases[] = {
        {"C:\\Vemli", "setup.exe", true, "C:\\Vemli\\setup.exe"},
        {"C:\\", "setup.exe", true, "C:\\setup.exe"},
        {"C:\\Vemli", "sub\\setup.exe", true, "C:\\Vemli\\sub\\setup.exe"},
        {"C:\\Vemli", "C:\\Temp\\VemliSetup.exe", true, "C:\\Temp\\VemliSetup.exe"},
        {"C:\\Vemli", "z:\\t\\s.exe", true, "z:\\t\\s.exe"},
        {"C:\\Vemli", "\\Temp\\s.exe", true, "\\Temp\\s.exe"},
        {"C:\\Vemli", "\\\\host\\share\\s.exe", true, "\\\\host\\share\\s.exe"},
        {"C:\\Vemli", "C:s.exe", true, "C:\\Vemli\\C:s.exe"}, // not letter ':' '\'
        {"C:\\Vemli", "1:\\s.exe", true, "C:\\Vemli\\1:\\s.exe"},
        {"C:\\Vemli", "C:", true, "C:\\Vemli\\C:"},
        {"C:\\Vemli", nullptr, false, nullptr},
        {nullptr, "s.exe", false, nullptr},
    };
    for (const PathCase& c : cases) {
        char out[260] = "untouched";
        const char* label = c.path != nullptr ? c.path : "(null)";
        EXPECT_EQ(updater::ResolvePath(c.folder, c.path, out, sizeof out), c.ok) << label;
        EXPECT_STREQ(out, c.ok ? c.expected : "untouched") << label;
    }
}

TEST(UpdaterPaths, RefusesWhatDoesNotFit) {
    const std::string folder = "C:\\" + std::string(250, 'f'); // 253 bytes
    char out[260] = "untouched";
    EXPECT_TRUE(updater::JoinPath(folder.c_str(), "abcde", out, sizeof out)); // 259 bytes
    EXPECT_EQ(std::string(out), folder + "\\abcde");
    std::strcpy(out, "untouched");
    EXPECT_FALSE(updater::JoinPath(folder.c_str(), "abcdef", out, sizeof out));
    EXPECT_STREQ(out, "untouched");
}

TEST(UpdaterPaths, FolderOfModule) {
    const PathCase cases[] = {
        {nullptr, "C:\\Vemli\\updater.exe", true, "C:\\Vemli"},
        {nullptr, "C:\\updater.exe", true, "C:"},
        {nullptr, "Z:\\a b\\c\\updater.exe", true, "Z:\\a b\\c"},
        {nullptr, "updater.exe", false, nullptr},
        {nullptr, nullptr, false, nullptr},
    };
    for (const PathCase& c : cases) {
        char out[260] = "untouched";
        const char* label = c.path != nullptr ? c.path : "(null)";
        EXPECT_EQ(updater::FolderOfModule(c.path, out, sizeof out), c.ok) << label;
        EXPECT_STREQ(out, c.ok ? c.expected : "untouched") << label;
    }
}

TEST(UpdaterPaths, SetupArguments) {
    char out[520];
    ASSERT_TRUE(updater::FormatSetupArguments("C:\\Vemli", out, sizeof out));
    EXPECT_STREQ(out, " /S /D=C:\\Vemli");
    ASSERT_TRUE(updater::FormatSetupArguments("", out, sizeof out));
    EXPECT_STREQ(out, " /S /D=");
    ASSERT_TRUE(updater::FormatSetupArguments(nullptr, out, sizeof out));
    EXPECT_STREQ(out, " /S /D=");
    const std::string longest(259, 'x');
    ASSERT_TRUE(updater::FormatSetupArguments(longest.c_str(), out, sizeof out));
    EXPECT_EQ(std::string(out), " /S /D=" + longest);
    EXPECT_FALSE(updater::FormatSetupArguments("C:\\Vemli", out, 15));
    EXPECT_TRUE(updater::FormatSetupArguments("C:\\Vemli", out, 16));
}

} // namespace
