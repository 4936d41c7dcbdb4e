#include "ServerConfig.h"

#include "DocumentFile.h"
#include "TextRules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>

namespace {

struct ServerValueCase {
    const char* value;
    bool valid;
    const char* host;
    std::uint16_t port;
};

TEST(CServerConfig, ServerValues) {
    const ServerValueCase cases[] = {
        {"a:8000", true, "a", 8000},
        {" host : 80", true, "host", 80},
        {"host:80x", true, "host", 80},
        {"host:+21", true, "host", 21},
        {"my host:1", true, "my host", 1},
        {"host:-1", true, "host", 65535}, // atoi gives -1, cut to 16 bits
        {"host:65537", true, "host", 1},  // cut to 16 bits
        {"h:1:2", true, "h", 1},          // the first ':' splits
        {"\xb7\xfe\xce\xf1:8080", true, "\xb7\xfe\xce\xf1", 8080},
        {":80", false, nullptr, 0},
        {"  :80", false, nullptr, 0},
        {"host:", false, nullptr, 0},
        {"host:0", false, nullptr, 0},
        {"host:65536", false, nullptr, 0},
        {"host: ", false, nullptr, 0},
        {"host:x", false, nullptr, 0},
        {"host", false, nullptr, 0},
        {"", false, nullptr, 0},
        {"   ", false, nullptr, 0},
        {nullptr, false, nullptr, 0},
    };
    for (const ServerValueCase& c : cases) {
        const char* label = c.value != nullptr ? c.value : "(null)";
        CServerConfig::Server server{"unchanged", 7};
        EXPECT_EQ(CServerConfig::ParseServerValue(c.value, server), c.valid) << label;
        EXPECT_EQ(server.host, c.valid ? c.host : "unchanged") << label;
        EXPECT_EQ(server.port, c.valid ? c.port : 7) << label;
    }
}

const char kGoodUpdate[] = "[Update]\nServer=update.example\nPath=/a/\nFile=v.ini\n";

TEST(CServerConfig, LoadsAWholeConfiguration) {
    CDocumentFile file(std::string(kGoodUpdate) +
                       "[Limit]\nLockLimitNumber=70000\n"
                       "[Server]\nz=last:3\nbad=host:0\na=first:1\nm=mid:2\nempty=\n");
    CServerConfig config;
    ASSERT_TRUE(config.Load(file.Path()));
    EXPECT_STREQ(config.GetUpdateServer(), "update.example");
    EXPECT_STREQ(config.GetUpdatePath(), "/a/");
    EXPECT_STREQ(config.GetUpdateFile(), "v.ini");
    EXPECT_EQ(config.GetLockLimitNumber(), 70000 - 65536);
    const auto& servers = config.GetServers();
    ASSERT_EQ(servers.size(), 3u); // key order a, m, z; invalid ones skipped
    EXPECT_EQ(servers[0].host, "first");
    EXPECT_EQ(servers[0].port, 1);
    EXPECT_EQ(servers[1].host, "mid");
    EXPECT_EQ(servers[2].host, "last");
    EXPECT_EQ(servers[2].port, 3);
}

TEST(CServerConfig, EmptyUpdateServerStillLoads) {
    CDocumentFile file("[Update]\nServer=\nPath=/\nFile=v.ini\n[Server]\nx=h:1\n");
    CServerConfig config;
    ASSERT_TRUE(config.Load(file.Path()));
    EXPECT_STREQ(config.GetUpdateServer(), "");
    EXPECT_EQ(config.GetLockLimitNumber(), 0);
}

TEST(CServerConfig, TextOfExactlyMaxPathFits) {
    const std::string fits(259, 'p');
    CDocumentFile ok("[Update]\nServer=s\nPath=" + fits + "\nFile=f\n[Server]\nx=h:1\n");
    CDocumentFile tooLong("[Update]\nServer=s\nPath=" + fits + "p\nFile=f\n[Server]\nx=h:1\n");
    CServerConfig config;
    ASSERT_TRUE(config.Load(ok.Path()));
    EXPECT_EQ(std::string(config.GetUpdatePath()), fits);
    EXPECT_FALSE(config.Load(tooLong.Path()));
}

struct ConfigFailureCase {
    const char* label;
    std::string document;
};

void PrintTo(const ConfigFailureCase& c, std::ostream* os) {
    *os << c.label;
}

class ConfigFailureTest : public ::testing::TestWithParam<ConfigFailureCase> {};

TEST_P(ConfigFailureTest, DoesNotLoad) {
    const ConfigFailureCase& c = GetParam();
    CDocumentFile file(c.document);
    CServerConfig config;
    EXPECT_FALSE(config.Load(file.Path())) << c.label;
}

const ConfigFailureCase kConfigFailures[] = {
    {"no Server section", kGoodUpdate},
    {"empty Server section", std::string(kGoodUpdate) + "[Server]\n"},
    {"no valid server", std::string(kGoodUpdate) + "[Server]\na=host\nb=:80\nc=host:0\nd=\n"},
    {"valid server only in a second Server section",
     std::string(kGoodUpdate) + "[Server]\na=host\n[Server]\nb=h:1\n"},
    {"no Update section", "[Server]\nx=h:1\n"},
    {"no Update.Server", "[Update]\nPath=/\nFile=v\n[Server]\nx=h:1\n"},
    {"no Update.Path", "[Update]\nServer=s\nFile=v\n[Server]\nx=h:1\n"},
    {"no Update.File", "[Update]\nServer=s\nPath=/\n[Server]\nx=h:1\n"},
    {"Update.File with other case", "[Update]\nServer=s\nPath=/\nfile=v\n[Server]\nx=h:1\n"},
    {"Update.File too long",
     "[Update]\nServer=s\nPath=/\nFile=" + std::string(260, 'f') + "\n[Server]\nx=h:1\n"},
    {"Update keys only in a second Update section",
     "[Update]\nServer=s\n[Server]\nx=h:1\n[Update]\nPath=/\nFile=v\n"},
    {"entry before any header", "Server=s\n" + std::string(kGoodUpdate) + "[Server]\nx=h:1\n"},
};

INSTANTIATE_TEST_SUITE_P(Cases, ConfigFailureTest, ::testing::ValuesIn(kConfigFailures));

TEST(CServerConfig, MissingFileDoesNotLoad) {
    const std::string path = CScratchDir().File("no_such_server.ini");
    std::remove(path.c_str());
    CServerConfig config;
    EXPECT_FALSE(config.Load(path.c_str()));
    EXPECT_NE(std::string(config.GetLastError()).find(path), std::string::npos);
}

TEST(CServerConfig, SectionNamesIgnoreCase) {
    CDocumentFile file("[UPDATE]\nServer=s\nPath=/\nFile=v\n[server]\nx=h:1\n[LIMIT]\n"
                       "LockLimitNumber=5\n");
    CServerConfig config;
    ASSERT_TRUE(config.Load(file.Path()));
    EXPECT_EQ(config.GetLockLimitNumber(), 5);
}

struct AtoiCase {
    const char* text;
    std::int32_t expected;
};

TEST(TextRules, AtoiWrapReadsLikeAtoiAndWraps) {
    const AtoiCase cases[] = {
        {"0", 0},
        {"16909060", 16909060},
        {"  \t\n42", 42},
        {"+7", 7},
        {"-7", -7},
        {"12abc", 12},
        {"abc", 0},
        {"", 0},
        {"- 5", 0},
        {"--5", 0},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", -2147483647 - 1}, // 2^31 wraps to INT_MIN
        {"4294967295", -1},              // 2^32 - 1
        {"4294967296", 0},               // 2^32
        {"4294967297", 1},
        {"99999999999999999999", 1661992959}, // (10^20 - 1) mod 2^32
        {"-4294967297", -1},
        {nullptr, 0},
    };
    for (const AtoiCase& c : cases) {
        EXPECT_EQ(updater::AtoiWrap(c.text), c.expected) << (c.text ? c.text : "(null)");
    }
}

TEST(TextRules, CompareNoCaseFoldsOnlyAscii) {
    EXPECT_EQ(updater::CompareNoCase("Update", "uPDATE"), 0);
    EXPECT_EQ(updater::CompareNoCase("", ""), 0);
    EXPECT_NE(updater::CompareNoCase("Update", "Updates"), 0);
    EXPECT_NE(updater::CompareNoCase("Update", "Updat"), 0);
    EXPECT_NE(updater::CompareNoCase("\xc1", "\xe1"), 0); // Latin-1 case pairs stay apart
    EXPECT_LT(updater::CompareNoCase("a", "\xb0"), 0);    // high bytes sort above ASCII
    EXPECT_NE(updater::CompareNoCase("[", "{"), 0);       // 0x5B is not upper-case 0x7B
}

} // namespace
