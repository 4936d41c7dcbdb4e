// The version document: when it is valid and what it gives.
#include "VersionInfo.h"

#include "DocumentFile.h"
#include "ParseVersion.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

struct DocumentCase {
    const char* name;
    std::string text;
    bool valid;
    std::string version;
    unsigned urls;
};

void PrintTo(const DocumentCase& c, std::ostream* os) {
    *os << c.name;
}

class VersionInfoTest : public ::testing::TestWithParam<DocumentCase> {};

TEST_P(VersionInfoTest, Loads) {
    const DocumentCase& c = GetParam();
    CDocumentFile file(c.text);
    CVersionInfo info;
    EXPECT_EQ(info.LoadVersion(file.Path()), c.valid);
    if (c.valid) {
        EXPECT_EQ(info.GetCurrentVersion(), c.version);
        EXPECT_EQ(info.GetDownloadUrlCount(), c.urls);
    }
}

std::string Doc(const std::string& version) {
    return "[Version]\nCurrentVersion=" + version + "\n[DownloadUrls]\n1=http://a/s.exe\n";
}

INSTANTIATE_TEST_SUITE_P(
    Table, VersionInfoTest,
    ::testing::Values(
        DocumentCase{"valid", Doc("1,2,3,4"), true, "1,2,3,4", 1},
        DocumentCase{"empty", "", false, "", 0},
        DocumentCase{"urls empty", "[Version]\nCurrentVersion=1,2,3,4\n[DownloadUrls]\n", false, "",
                     0},
        DocumentCase{"version without value", Doc(""), true, "", 1},
        DocumentCase{"version 127 bytes", Doc(std::string(127, '9')), true, std::string(127, '9'),
                     1},
        DocumentCase{"version 128 bytes", Doc(std::string(128, '9')), false, "", 0},
        DocumentCase{"no version key", "[Version]\nOther=1\n[DownloadUrls]\n1=x\n", false, "", 0},
        DocumentCase{"urls counted", Doc("1,1,1,1") + "2=b\n3\n", true, "1,1,1,1", 3},
        DocumentCase{"entry before any header", "v=1\n" + Doc("1,2,3,4"), false, "", 0},
        DocumentCase{"section names ignore case",
                     "[VERSION]\nCurrentVersion=3,2,1,0\n[downloadurls]\nu=x\n", true, "3,2,1,0",
                     1},
        DocumentCase{"second Version section never read",
                     "[Version]\nX=1\n[DownloadUrls]\n1=x\n[Version]\nCurrentVersion=1,2,3,4\n",
                     false, "", 0}));

TEST(VersionInfo, MissingFileIsInvalidAndEmpty) {
    CVersionInfo info;
    {
        CDocumentFile file(Doc("5,6,7,8"));
        ASSERT_TRUE(info.LoadVersion(file.Path()));
    }
    EXPECT_FALSE(info.LoadVersion(CScratchDir().File("no_such_version.ini").c_str()));
    EXPECT_STREQ(info.GetCurrentVersion(), "") << "a failed load forgets the old version";
    EXPECT_EQ(info.GetDownloadUrlCount(), 0u);
}

TEST(VersionInfo, AddressesComeInAscendingKeyOrder) {
    CDocumentFile file("[Version]\nCurrentVersion=1,0,0,0\n[DownloadUrls]\n"
                       "b=http://b/s.exe\nA=http://A/s.exe\na=http://a/s.exe\nempty\n");
    CVersionInfo info;
    ASSERT_TRUE(info.LoadVersion(file.Path()));
    ASSERT_EQ(info.GetDownloadUrlCount(), 4u);
    EXPECT_STREQ(info.GetDownloadUrl(0), "http://A/s.exe");
    EXPECT_STREQ(info.GetDownloadUrl(1), "http://a/s.exe");
    EXPECT_STREQ(info.GetDownloadUrl(2), "http://b/s.exe");
    EXPECT_EQ(info.GetDownloadUrl(3), nullptr) << "'empty' has no value";
    EXPECT_EQ(info.GetDownloadUrl(4), nullptr);
    EXPECT_EQ(updater::ParseVersion(info.GetCurrentVersion()), 0x01000000u);
}

} // namespace
