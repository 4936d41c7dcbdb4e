// The account key and the file name rule on tables of inputs.
#include "ChatLogNames.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

TEST(AccountKey, Table) {
    const std::uintptr_t upper = sizeof(std::uintptr_t) == 8 ? 0xFFFFFFFFFFFF0000ull : 0xFFFF0000u;
    struct {
        std::uintptr_t wParam;
        std::uintptr_t lParam;
        const char* key;
    } cases[] = {
        {(2u << 16) | 1u, 7, "17"},               // the upper half of wParam is ignored
        {0, 0, "00"},                             // no padding, no separator
        {0, 0xFFFFFFFFu, "04294967295"},          // all 32 bits of lParam, unsigned
        {0xFFFF, 0xFFFFFFFFu, "655354294967295"}, // the longest key: 15 digits
        {upper | 5u, 123, "5123"},                // every bit above the low 16 ignored
        {1, 23456789, "123456789"},
        {0x10000, 1, "01"}, // 65536 keeps nothing of its 17th bit
    };
    for (const auto& c : cases)
        EXPECT_EQ(chatlog::FormatAccountKey(c.wParam, c.lParam), c.key)
            << c.wParam << "," << c.lParam;
}

TEST(AccountKey, LParamAboveThirtyTwoBitsIsCut) {
    if (sizeof(std::uintptr_t) < 8)
        GTEST_SKIP() << "LPARAM has only 32 bits here";
    // A 32-bit sender's lParam arrives sign-extended in a 64-bit receiver.
    std::uintptr_t extended = static_cast<std::uintptr_t>(static_cast<std::intptr_t>(-1));
    EXPECT_EQ(chatlog::FormatAccountKey(3, extended), "34294967295");
}

TEST(DigitString, Table) {
    struct {
        const char* text;
        bool digits;
    } cases[] = {
        {"", true},    {"0", true},         {"0123456789", true}, {"12a", false}, {" 1", false},
        {"1 ", false}, {"-1", false},       {"+1", false},        {"1.", false},  {"/", false},
        {":", false},  {"\xa3\xb1", false}, // a full-width digit in GBK is no digit
    };
    for (const auto& c : cases)
        EXPECT_EQ(chatlog::IsDigitString(c.text), c.digits) << '"' << c.text << '"';
    EXPECT_FALSE(chatlog::IsDigitString(nullptr));
}

TEST(ChatLogFileName, Table) {
    struct {
        const char* name;
        const wchar_t* wide;
        bool taken;
    } cases[] = {
        {"123.dat", L"123.dat", true},
        {"123.DAT", L"123.DAT", true},
        {"0042.Dat", L"0042.Dat", true},
        {".dat", L".dat", true}, // the empty stem passes
        {".DaT", L".DaT", true},
        {"12a.dat", L"12a.dat", false},
        {"1.2.dat", L"1.2.dat", false}, // cut at the first dot: ".2.dat"
        {"123.bak.dat", L"123.bak.dat", false},
        {"123.dat.old", L"123.dat.old", false},
        {"123.dat.bak", L"123.dat.bak", false},
        {"123.data", L"123.data", false},
        {"123.da", L"123.da", false},
        {"123", L"123", false},
        {"123.", L"123.", false},
        {"", L"", false},
        {"dat", L"dat", false},
        {"123 .dat", L"123 .dat", false},
        {"123.dat ", L"123.dat ", false},
        {"\xd5\xc5.dat", L"\x5f20.dat", false}, // a Chinese stem
        {"123.\xc4\xe1t", L"123.\x0131t", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(chatlog::IsChatLogFileName(c.name), c.taken) << '"' << c.name << '"';
        EXPECT_EQ(chatlog::IsChatLogFileName(c.wide), c.taken) << '"' << c.name << "\" (wide)";
    }
    EXPECT_FALSE(chatlog::IsChatLogFileName(static_cast<const char*>(nullptr)));
    EXPECT_FALSE(chatlog::IsChatLogFileName(static_cast<const wchar_t*>(nullptr)));
}
