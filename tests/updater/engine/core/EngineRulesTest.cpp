// The engine's small decisions: text limits, the setup path, announced
// lengths, whole bodies and the seed.
#include "EngineRules.h"

#include "TextRules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using updater::CopyFittingText;

TEST(CopyFittingText, TakesTextsThatFitWithTheirTerminator) {
    char buffer[8] = "old";
    EXPECT_TRUE(CopyFittingText(buffer, sizeof buffer, "1234567"));
    EXPECT_STREQ(buffer, "1234567");
    EXPECT_FALSE(CopyFittingText(buffer, sizeof buffer, "12345678"));
    EXPECT_STREQ(buffer, "1234567") << "a refused text leaves the buffer as it was";
    EXPECT_TRUE(CopyFittingText(buffer, sizeof buffer, ""));
    EXPECT_STREQ(buffer, "");
    std::strcpy(buffer, "old");
    EXPECT_TRUE(CopyFittingText(buffer, sizeof buffer, nullptr));
    EXPECT_STREQ(buffer, "") << "null empties";
    EXPECT_FALSE(CopyFittingText(nullptr, 8, "x"));
    EXPECT_FALSE(CopyFittingText(buffer, 0, "x"));
}

TEST(CopyFittingText, ServerTextLimitIs255Bytes) {
    char member[256] = "";
    EXPECT_TRUE(CopyFittingText(member, sizeof member, std::string(255, 'h').c_str()));
    EXPECT_EQ(std::strlen(member), 255u);
    EXPECT_FALSE(CopyFittingText(member, sizeof member, std::string(256, 'i').c_str()));
    EXPECT_EQ(member[0], 'h');
}

struct PathCase {
    const char* folder;
    size_t size;
    bool ok;
    const char* path;
};

void PrintTo(const PathCase& c, std::ostream* os) {
    *os << (c.folder ? c.folder : "(null)") << " in " << c.size;
}

class SetupPathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(SetupPathTest, JoinsWithOneBackslash) {
    const PathCase& c = GetParam();
    char buffer[300];
    std::strcpy(buffer, "untouched");
    EXPECT_EQ(updater::BuildSetupPath(c.folder, buffer, c.size), c.ok);
    if (c.ok) {
        EXPECT_STREQ(buffer, c.path);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, SetupPathTest,
    ::testing::Values(PathCase{"C:\\Temp\\", 260, true, "C:\\Temp\\VemliSetup.exe"},
                      PathCase{"C:\\Temp", 260, true, "C:\\Temp\\VemliSetup.exe"},
                      PathCase{"\\", 260, true, "\\VemliSetup.exe"},
                      PathCase{"C:\\Temp/", 260, true, "C:\\Temp/\\VemliSetup.exe"},
                      PathCase{"", 260, false, nullptr}, PathCase{nullptr, 260, false, nullptr},
                      // "C:\T\VemliSetup.exe" is 19 bytes: 20 with its terminator.
                      PathCase{"C:\\T\\", 20, true, "C:\\T\\VemliSetup.exe"},
                      PathCase{"C:\\T\\", 19, false, nullptr},
                      PathCase{"C:\\T", 20, true, "C:\\T\\VemliSetup.exe"},
                      PathCase{"C:\\T", 19, false, nullptr}));

TEST(SetupPath, FolderOf244BytesFitsIn260And245DoesNot) {
    char buffer[260];
    // 244 + '\' + 14 + terminator = 260.
    EXPECT_TRUE(
        updater::BuildSetupPath(("C:\\" + std::string(241, 'f')).c_str(), buffer, sizeof buffer));
    EXPECT_EQ(std::strlen(buffer), 259u);
    EXPECT_FALSE(
        updater::BuildSetupPath(("C:\\" + std::string(242, 'f')).c_str(), buffer, sizeof buffer));
    EXPECT_TRUE(updater::BuildSetupPath(("C:\\" + std::string(241, 'f') + "\\").c_str(), buffer,
                                        sizeof buffer));
}

struct LengthCase {
    const char* text;
    bool parsed;
    std::uint64_t value;
    bool announced;
};

void PrintTo(const LengthCase& c, std::ostream* os) {
    *os << (c.text ? c.text : "(null)");
}

class ContentLengthTest : public ::testing::TestWithParam<LengthCase> {};

TEST_P(ContentLengthTest, ParsesAndAnnounces) {
    const LengthCase& c = GetParam();
    std::uint64_t value = 12345;
    EXPECT_EQ(updater::ParseContentLength(c.text, value), c.parsed);
    if (c.parsed) {
        EXPECT_EQ(value, c.value);
    } else {
        EXPECT_EQ(value, 12345u) << "a refused text leaves the output alone";
    }
    std::uint64_t announced = 777;
    EXPECT_EQ(updater::AnnouncedLength(c.text, announced), c.announced);
    EXPECT_EQ(announced, c.announced ? c.value : 777u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ContentLengthTest,
    ::testing::Values(LengthCase{"3000", true, 3000, true}, LengthCase{"0", true, 0, false},
                      LengthCase{" 42 ", true, 42, true},
                      LengthCase{"104857600", true, 104857600, true},
                      LengthCase{"4294967296", true, 4294967296ull, true},
                      LengthCase{"18446744073709551615", true, 18446744073709551615ull, true},
                      LengthCase{"18446744073709551616", false, 0, false},
                      LengthCase{"", false, 0, false}, LengthCase{nullptr, false, 0, false},
                      LengthCase{"-5", false, 0, false}, LengthCase{"+5", false, 0, false},
                      LengthCase{"12abc", false, 0, false}, LengthCase{"abc", false, 0, false},
                      LengthCase{"1 2", false, 0, false}));

TEST(BodyComplete, OnlyAnAnnouncedLengthCanBeFallenShortOf) {
    struct {
        bool announced;
        std::uint64_t length, received;
        bool complete;
    } cases[] = {{true, 100, 100, true},
                 {true, 100, 99, false},
                 {true, 100, 0, false},
                 {true, 100, 101, true},
                 {false, 0, 0, true},
                 {false, 100, 5, true},
                 {true, 5000000000ull, 705032704ull, false}};
    for (const auto& c : cases)
        EXPECT_EQ(updater::IsBodyComplete(c.announced, c.length, c.received), c.complete)
            << c.announced << " " << c.length << " " << c.received;
}

TEST(RandomSeed, SecondsXorTenthsOfMicrosecondsOfTheLowWord) {
    // Worked out by hand: 10^16 + 1,234,567 ticks are 1,000,000,000 s; the
    // low 32 bits are 1,876,153,991, modulo 10^7 = 6,153,991, / 10 = 615,399.
    EXPECT_EQ(updater::ComputeRandomSeed(10000000000000000ull + 1234567ull), 999533031u);
    // A time in 2025: 1,765,100,000 s and 4,321 ticks.
    EXPECT_EQ(updater::ComputeRandomSeed(17651000000004321ull), 1765382915u);
    EXPECT_EQ(updater::ComputeRandomSeed(0), 0u);
    EXPECT_EQ(updater::ComputeRandomSeed(25), 2u);
    EXPECT_EQ(updater::ComputeRandomSeed(10000000ull * 3 + 95), 3u ^ 9u);
}

} // namespace
