// The two-way search against a plain one: every place a needle stands, over
// texts of two or three letters where needles are periodic, nearly periodic
// or not at all, and where the left-to-right and right-to-left parts both
// find mismatches.
#include "TwoWayMatch.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::size_t> Places(const std::string& text, const std::string& needle) {
    std::vector<std::size_t> out;
    for (std::size_t at = text.find(needle); at != std::string::npos;
         at = text.find(needle, at + 1))
        out.push_back(at);
    return out;
}

} // namespace

TEST(TwoWayMatch, EveryPlaceAsAPlainSearchFindsIt) {
    std::mt19937 random(7);
    for (int round = 0; round < 3000; ++round) {
        const int letters = 2 + static_cast<int>(random() % 2);
        auto word = [&](std::size_t size) {
            std::string s;
            for (std::size_t i = 0; i < size; ++i)
                s += static_cast<char>('a' + random() % letters);
            return s;
        };
        // A needle from a repeated piece, sometimes with one byte changed.
        std::string needle = word(1 + random() % 4);
        while (needle.size() < 1 + random() % 12)
            needle += needle;
        if (random() % 2)
            needle[random() % needle.size()] = static_cast<char>('a' + random() % letters);
        std::string text = word(random() % 60);
        for (int k = static_cast<int>(random() % 4); k > 0; --k)
            text.insert(random() % (text.size() + 1), needle);
        const chatlog::CTwoWayMatch match(needle);
        std::vector<std::size_t> found;
        match.ForEach(reinterpret_cast<const unsigned char*>(text.data()), text.size(),
                      [&](std::size_t at) {
                          found.push_back(at);
                          return false;
                      });
        ASSERT_EQ(found, Places(text, needle)) << needle << " in " << text;
    }
    // Stopping at the first place the caller accepts.
    const std::string text = "xabababx";
    std::size_t calls = 0;
    EXPECT_TRUE(chatlog::CTwoWayMatch("aba").ForEach(
        reinterpret_cast<const unsigned char*>(text.data()), text.size(),
        [&](std::size_t at) { return ++calls, at == 3; }));
    EXPECT_EQ(calls, 2u);
}
