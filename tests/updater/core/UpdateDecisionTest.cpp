#include "UpdateDecision.h"

#include "PseudoRandom.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>

namespace {

struct DecisionCase {
    const char* label;
    std::uint32_t client;
    std::uint32_t server;
    unsigned count;
    unsigned random;
    bool download;
    unsigned index;
};

TEST(UpdateDecision, Table) {
    const DecisionCase cases[] = {
        {"equal versions", 0x01020304, 0x01020304, 3, 5, false, 0},
        {"client newer", 0x01020305, 0x01020304, 3, 5, false, 0},
        {"server newer", 0x01020304, 0x01020305, 3, 5, true, 2},
        {"unparsable server version is 0", 0, 0, 1, 0, false, 0},
        {"client 0, any server", 0, 1, 1, 32767, true, 0},
        {"unsigned: high bit is newest", 0x7FFFFFFF, 0x80000000, 2, 7, true, 1},
        {"unsigned: client high bit", 0x80000000, 0x7FFFFFFF, 2, 7, false, 0},
        {"one address always index 0", 1, 2, 1, 12345, true, 0},
        {"r mod n", 1, 2, 4, 32767, true, 3},
        {"r below n", 1, 2, 7, 3, true, 3},
        {"no addresses", 1, 2, 0, 3, false, 0},
    };
    for (const DecisionCase& c : cases) {
        const updater::UpdateChoice choice =
            updater::DecideUpdate(c.client, c.server, c.count, c.random);
        EXPECT_EQ(choice.download, c.download) << c.label;
        if (c.download) {
            EXPECT_EQ(choice.addressIndex, c.index) << c.label;
        }
    }
}

TEST(PseudoRandom, FollowsTheRuntimeSequence) {
    // The first numbers of the Microsoft C runtime's rand() after srand(1).
    CPseudoRandom random;
    const unsigned expected[] = {41, 18467, 6334, 26500, 19169};
    for (unsigned value : expected) {
        EXPECT_EQ(random.Next(), value);
    }
    random.Seed(1);
    EXPECT_EQ(random.Next(), 41u);
}

TEST(PseudoRandom, StaysInRange) {
    CPseudoRandom random(0xFFFFFFFFu);
    for (int i = 0; i < 100000; ++i) {
        ASSERT_LE(random.Next(), CPseudoRandom::kMax);
    }
}

// Each run seeds with the current second and draws once: runs in successive
// seconds must reach every address of a short list.
TEST(PseudoRandom, SuccessiveSecondsSpreadOverAddresses) {
    for (unsigned count = 1; count <= 5; ++count) {
        std::set<unsigned> used;
        for (std::uint32_t second = 1765000000; second < 1765000000 + 30; ++second) {
            CPseudoRandom random(second);
            used.insert(updater::DecideUpdate(1, 2, count, random.Next()).addressIndex);
        }
        EXPECT_EQ(used.size(), count) << count << " addresses";
    }
}

} // namespace
