// Setup downloads over https under Wine's WinINet: the test server's
// certificates come from a test authority that this process trusts while a
// test runs. Only a certificate that authority issued for the host, and
// still valid, downloads; the others end the download with the engine's
// connect failure and leave nothing behind, with a setup key or without.
#include "EngineFixture.h"
#include "TrustedAuthority.h"

#include <ostream>

namespace {

struct HttpsCase {
    const char* host; // the server's certificate for it: see the server
    bool withKey;
    UINT last;
};

void PrintTo(const HttpsCase& c, std::ostream* os) {
    *os << c.host << (c.withKey ? " with a setup key" : "");
}

class HttpsDownload : public EngineFixture, public ::testing::WithParamInterface<HttpsCase> {};

TEST_P(HttpsDownload, OnlyATrustedCertificateDownloads) {
    const HttpsCase& c = GetParam();
    CTrustedAuthority authority(m_server.TlsAuthority());
    ASSERT_TRUE(authority.IsTrusted());
    const std::string setup = CUpdateServerControl::Payload(3000);
    // A path no earlier run used, so that no cached copy can stand in.
    const std::string path = "/" + Host() + "/setup.exe";
    ASSERT_TRUE(m_server.Release("/v.ini", path, std::string("https://") + c.host + path, "1,2,3,5",
                                 "good", setup));
    if (c.withKey) {
        ASSERT_TRUE(TrustServerSetupKey());
    }
    ASSERT_TRUE(StartCheck(Host(), "/", "v.ini"));
    ASSERT_TRUE(WaitForEnd());

    EXPECT_EQ(Codes().back(), c.last);
    const bool done = c.last == UE_DOWNLOAD_DONE;
    EXPECT_EQ(TempFiles(),
              done ? std::vector<std::string>{"VemliSetup.exe"} : std::vector<std::string>{});
    EXPECT_EQ(m_server.Sent(path), done ? 3000 : 0);
    std::string data;
    EXPECT_EQ(ReadFile(SetupPath(), data) && data == setup, done);
}

const HttpsCase kHttps[] = {
    {"secure.example", false, UE_DOWNLOAD_DONE},
    {"secure.example", true, UE_DOWNLOAD_DONE},
    {"selfsigned.example", false, UE_DOWNLOAD_CONNECT_FAILED},
    {"selfsigned.example", true, UE_DOWNLOAD_CONNECT_FAILED},
    {"expired.example", false, UE_DOWNLOAD_CONNECT_FAILED},
    {"expired.example", true, UE_DOWNLOAD_CONNECT_FAILED},
    {"wrongname.example", false, UE_DOWNLOAD_CONNECT_FAILED},
    {"wrongname.example", true, UE_DOWNLOAD_CONNECT_FAILED},
};

INSTANTIATE_TEST_SUITE_P(Cases, HttpsDownload, ::testing::ValuesIn(kHttps));

} // namespace
