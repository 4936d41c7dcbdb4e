// The engine with a setup key, against signed releases of the test update
// server: which event ends each one, what is left in the temporary folder,
// and which digest the owner is given to check the setup again.
#include "EngineFixture.h"
#include "SignedSetup.h"

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
    updater::SetupKey key;
    ASSERT_TRUE(updater::ParseHexBytes(m_server.SetupKey().c_str(), key));
    ASSERT_TRUE(m_engine->SetSetupKey(key));
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
}

const SignedCase kSigned[] = {
    {"good", UE_DOWNLOAD_DONE},
    {"upper_digest", UE_DOWNLOAD_DONE},
    {"bad_signature", UE_VERSION_INVALID},
    {"other_version", UE_VERSION_INVALID},
    {"no_keys", UE_VERSION_INVALID},
    {"other_digest", UE_CONNECTION_LOST},
    {"in_transit", UE_CONNECTION_LOST},
};

INSTANTIATE_TEST_SUITE_P(Cases, SignedDownload, ::testing::ValuesIn(kSigned));

} // namespace
