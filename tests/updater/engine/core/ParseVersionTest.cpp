// Version packing: one byte per part, most significant first.
#include "ParseVersion.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {
struct VersionCase {
    const char* text;
    std::uint32_t packed;
};

void PrintTo(const VersionCase& c, std::ostream* os) {
    *os << (c.text ? c.text : "(null)");
}

class ParseVersionTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(ParseVersionTest, Packs) {
    EXPECT_EQ(updater::ParseVersion(GetParam().text), GetParam().packed);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseVersionTest,
    ::testing::Values(VersionCase{"1,2,3,4", 0x01020304u}, VersionCase{"1,2,3,4", 16909060u},
                      VersionCase{"2,0,0,300", 33554476u}, VersionCase{"1,2,3,256", 0x01020300u},
                      VersionCase{"255,255,255,255", 0xFFFFFFFFu},
                      VersionCase{"256,1,1,1", 0x00010101u}, VersionCase{"0,0,0,0", 0u},
                      VersionCase{"1.2.3.4", 0u}, VersionCase{"1,2,3", 0u}, VersionCase{"1,2", 0u},
                      VersionCase{"", 0u}, VersionCase{"   ", 0u}, VersionCase{nullptr, 0u},
                      // White space may precede each number, never a comma.
                      VersionCase{" 1, 2, 3, 4", 0x01020304u}, VersionCase{"1 ,2,3,4", 0u},
                      VersionCase{"\t7,\n8,9,10", 0x0708090Au},
                      // Anything after the fourth number is ignored.
                      VersionCase{"1,2,3,4,5", 0x01020304u},
                      VersionCase{"1,2,3,4beta", 0x01020304u}, VersionCase{"1,2,3,x", 0u},
                      VersionCase{"a,2,3,4", 0u}, VersionCase{"10,20,30,40", 0x0A141E28u}));
} // namespace
