// The writers' file names in an output folder.
#include "ExportWriters.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(ExportWriters, FriendFileNames) {
    std::vector<std::string> taken;
    const std::pair<const char*, const char*> cases[] = {
        {"123", "123.csv"}, {"123", "123-2.csv"},   {"", "log.csv"},
        {"", "log-2.csv"},  {"a b/c", "a_b_c.csv"}, {"INDEX", "INDEX_.csv"},
        {"AbC", "AbC.csv"}, {"abc", "abc-2.csv"},   {"\xd5\xc5", "__.csv"},
    };
    for (const auto& [stem, name] : cases)
        EXPECT_EQ(exporter::MakeFriendFileName(stem, "csv", taken), name) << stem;
}
