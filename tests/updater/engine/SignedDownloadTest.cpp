// The engine with a setup key, against signed releases of the test update
// server: which event ends each one, what is left in the temporary folder,
// and which digest the owner is given to check the setup again.
#include "EngineFixture.h"
#include "SignedSetup.h"

#include <algorithm>
#include <ostream>

namespace {

struct SignedCase {
    const char* variant;
    UINT last; // the event that ends the run
};

void PrintTo(const SignedCase& c, std::ostream* os) {
    *os << c.variant;
}

class SignedDownload : public EngineFixture, public ::testing::WithParamInterface<SignedCase> {};

TEST_P(SignedDownload, EndsWithItsEvent) {
    const SignedCase& c = GetParam();
    const std::string setup = CUpdateServerControl::Payload(3000);
    ASSERT_TRUE(m_server.Release("/v.ini", "/setup.exe", "http://" + Host("dl") + "/setup.exe",
                                 "1,2,3,5", c.variant, setup));
    const std::string variant = c.variant;
    ASSERT_TRUE(TrustServerSetupKey());
    ASSERT_TRUE(StartCheck(Host(), "/", "v.ini"));
    ASSERT_TRUE(WaitForEnd());

    EXPECT_EQ(Codes().back(), c.last);
    EXPECT_EQ(Exists(SetupPath()), c.last == UE_DOWNLOAD_DONE);
    updater::SetupDigest digest;
    EXPECT_EQ(m_engine->GetSetupDigest(digest), c.last != UE_VERSION_INVALID);
    if (c.last == UE_VERSION_INVALID) {
        // Nothing of a document that is not signed is left to act on.
        EXPECT_STREQ(m_engine->GetCurrentVersion(), "");
        EXPECT_EQ(m_engine->GetDownloadUrlCount(), 0u);
    }
    if (c.last == UE_DOWNLOAD_DONE) {
        std::string data;
        ASSERT_TRUE(ReadFile(SetupPath(), data));
        EXPECT_TRUE(data == setup);
    }
    // A length that disagrees with the signed size is refused before the
    // file is made; an endless body is cut off just past it.
    const std::vector<UINT> codes = Codes();
    const bool receiving =
        std::find(codes.begin(), codes.end(), UINT(UE_DOWNLOAD_RECEIVING)) != codes.end();
    if (variant == "size_small" || variant == "size_large") {
        EXPECT_FALSE(receiving);
    }
    if (variant == "endless") {
        EXPECT_TRUE(receiving);
        EXPECT_LT(m_server.Sent("/setup.exe"), 16 << 20) << "the engine read on";
    }
}

const SignedCase kSigned[] = {
    {"good", UE_DOWNLOAD_DONE},
    {"expires", UE_DOWNLOAD_DONE},
    {"expired", UE_VERSION_INVALID},
    {"no_size", UE_VERSION_INVALID},
    {"size_small", UE_CONNECTION_LOST},
    {"size_large", UE_CONNECTION_LOST},
    {"endless", UE_CONNECTION_LOST},
    {"upper_digest", UE_DOWNLOAD_DONE},
    {"bad_signature", UE_VERSION_INVALID},
    {"other_version", UE_VERSION_INVALID},
    {"no_keys", UE_VERSION_INVALID},
    {"other_digest", UE_CONNECTION_LOST},
    {"in_transit", UE_CONNECTION_LOST},
};

INSTANTIATE_TEST_SUITE_P(Cases, SignedDownload, ::testing::ValuesIn(kSigned));

class SignedAddresses : public EngineFixture {};

// With a key only web addresses are offered: others are skipped, and a
// document left without one is not valid. The local file holds the signed
// bytes, so only the scheme stands in the way.
TEST_F(SignedAddresses, OnlyHttpAndHttpsAreOffered) {
    const std::string setup = CUpdateServerControl::Payload(3000);
    ASSERT_TRUE(WriteFile(m_tempDir + "\\local.bin", setup));
    std::string local = "file:///" + m_tempDir + "\\local.bin";
    std::replace(local.begin(), local.end(), '\\', '/');
    updater::SetupKey key;
    ASSERT_TRUE(updater::ParseHexBytes(m_server.SetupKey().c_str(), key));
    const std::string web = "http://" + Host("dl") + "/setup.exe";

    struct Case {
        std::string urls;
        UINT last;
    } cases[] = {
        {local + " ftp://" + Host("f") + "/setup.exe " + web, UE_DOWNLOAD_DONE},
        {local, UE_VERSION_INVALID},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.urls);
        m_engine = std::make_unique<CUpdateEngine>();
        ForgetEvents();
        ASSERT_TRUE(m_server.Release("/v.ini", "/setup.exe", c.urls, "1,2,3,5", "good", setup));
        ASSERT_TRUE(m_engine->SetSetupKey(key));
        ASSERT_TRUE(StartCheck(Host(), "/", "v.ini"));
        ASSERT_TRUE(WaitForEnd());
        EXPECT_EQ(Codes().back(), c.last);
        if (c.last == UE_DOWNLOAD_DONE) {
            EXPECT_EQ(m_engine->GetDownloadUrlCount(), 1u);
            EXPECT_EQ(m_engine->GetDownloadUrl(0), web);
        }
        m_engine->Stop();
    }
    // Nor does the engine open one when asked for it directly.
    m_engine = std::make_unique<CUpdateEngine>();
    ForgetEvents();
    m_downloadOverride = local;
    ASSERT_TRUE(m_server.Release("/v.ini", "/setup.exe", web, "1,2,3,5", "good", setup));
    ASSERT_TRUE(m_engine->SetSetupKey(key));
    ASSERT_TRUE(StartCheck(Host(), "/", "v.ini"));
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(Codes().back(), UINT(UE_DOWNLOAD_CONNECT_FAILED));
}

} // namespace
