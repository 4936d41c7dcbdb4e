// GBK to UTF-8 with replacements, and the --grep match.
#include "TextDecode.h"

#include <gtest/gtest.h>

TEST(TextDecode, GbkBecomesUtf8AndBadBytesBecomeReplacements) {
    const std::string r(kReplacementUtf8);
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"plain ASCII, <tags> & \"quotes\"", "plain ASCII, <tags> & \"quotes\""},
        {"\xc4\xe3\xba\xc3\xa3\xa1", "\xe4\xbd\xa0\xe5\xa5\xbd\xef\xbc\x81"}, // 你好！
        {"a\xd5\xc5z", "a\xe5\xbc\xa0z"},                                     // a张z
        {"\xff", r},                                                          // never a lead
        {"\xc4", r},                                                          // lead at the end
        {"\xc4 \xc4\xe3", r + " \xe4\xbd\xa0"}, // lead without trail, then on
        {"\xc4\x41", "\xe8\x85\x81"},           // 0x41 is a trail byte too: 腁
        {"\xc4\x7f", r + "\x7f"},               // 0x7F is no trail byte
        {"ok\xff\xff"
         "A\xc4\xe3",
         "ok" + r + r + "A\xe4\xbd\xa0"},
    };
    CGbkDecoder decoder;
    for (const auto& [gbk, utf8] : cases)
        EXPECT_EQ(decoder.Decode(gbk), utf8) << gbk;
}

TEST(TextDecode, GrepMatchFoldsAsciiOnly) {
    struct Case {
        const char* text;
        const char* needle;
        bool found;
    };
    const Case cases[] = {
        {"OK, see you", "ok", true},
        {"ok", "OK", true},
        {"abc", "", true},
        {"", "a", false},
        {"ab", "abc", false},
        {"see you at 7", "AT 7", true},
        {"\xe4\xbd\xa0\xe5\xa5\xbd", "\xe5\xa5\xbd", true}, // 好 in 你好
        {"\xe4\xbd\xa0", "\xa0", true},                     // bytes match exactly
        {"\xc3\xa9", "\xc3\x89", false},                    // é and É: not ASCII
        {"aaab", "aab", true},
        {"[x]", "[X]", true},
        {"@", "`", false}, // neighbours of the letters are not folded
    };
    for (const Case& c : cases)
        EXPECT_EQ(exporter::ContainsAsciiFold(c.text, c.needle), c.found)
            << c.text << " / " << c.needle;
}

// A needle goes to the byte search only where that finds what the decoded
// match finds; the rest stay with the decoded match.
TEST(TextDecode, NeedlesTheByteSearchTakes) {
    const struct {
        const char* needle;
        bool bytes;
    } cases[] = {
        {"ok, SEE", true},           {"\xe6\x99\x9a\xe4\xb8\x8a", true}, // 晚上
        {"\xef\xbc\xa1", true},                                          // full-width Ａ
        {"a\xef\xbf\xbd", false},    // U+FFFD: what undecodable bytes become
        {"\xe2\x82\xac", false},     // €: 0x80 at most, which decodes to U+FFFD
        {"\xf0\x9f\x98\x80", false}, // an emoji: not in GBK
        {"\xe4\xbd", false},         // not UTF-8
    };
    CGbkDecoder decoder;
    for (const auto& c : cases) {
        std::string gbk;
        const bool converted = CGbkConverter::ToGbk(c.needle, gbk);
        EXPECT_EQ(exporter::IsByteSearchExact(c.needle, gbk, decoder), c.bytes) << c.needle;
        if (c.bytes) {
            EXPECT_TRUE(converted && decoder.Decode(gbk) == c.needle) << c.needle;
        }
    }
}
