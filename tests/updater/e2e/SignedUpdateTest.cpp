// Signed setups end to end under Wine: with SetupKey in Server.ini the real
// updater hands over only the setup the publisher signed for the offered
// version, and nobody can change it between the check and its start. The
// test update server signs with a throw-away test key of its own.
#include "TrustedAuthority.h"
#include "UpdaterScene.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <wininet.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr char kClientVersion[] = " -v16909060"; // 1,2,3,4

class SignedUpdate : public ::testing::Test {
protected:
    void SetUp() override {
        m_scene = std::make_unique<CUpdaterScene>(SceneName());
        ASSERT_TRUE(m_scene->IsReady()) << "scene folder or test update server missing";
        m_setup = CUpdaterScene::ReadFile(BuildOutput(UPDATER_SETUP_STANDIN_EXE));
    }

    // Server.ini of the scene, with a SetupKey line when `key` is not empty.
    void WriteServerIni(const std::string& key) {
        m_scene->WriteServerIni("[Update]\r\nServer=update.example\r\nPath=/" + SceneName() +
                                "/\r\nFile=version.ini\r\n" +
                                (key.empty() ? "" : "SetupKey=" + key + "\r\n") +
                                "[Server]\r\nmain=update.example:80\r\n");
    }

    // The stand-in setup released as 1,2,3,5, spoiled as `variant` says, at
    // its own address on dl1.example, or only at `url` when given.
    void Release(const std::string& variant, const std::string& url = "") {
        m_setupPath =
            "/" + SceneName() + "-" + std::to_string(GetTickCount64()) + "/VemliSetup.exe";
        ASSERT_TRUE(m_scene->Server().Release(
            "/" + SceneName() + "/version.ini", m_setupPath,
            url.empty() ? "http://dl1.example" + m_setupPath : url, "1,2,3,5", variant, m_setup));
    }

    std::size_t SetupRequests() {
        const std::vector<SeenRequest> requests = m_scene->Requests();
        return std::count_if(requests.begin(), requests.end(),
                             [&](const SeenRequest& r) { return r.path == m_setupPath; });
    }
    bool SetupRequested() { return SetupRequests() > 0; }

    // A signed setup runs from the guard's own folder, never from the shared
    // temporary one; without a key it stays where the download put it.
    void ExpectHandedOver(bool signedSetup = true) {
        std::map<std::string, std::string> record = m_scene->WaitForSetupRecord();
        ASSERT_FALSE(record.empty()) << "the setup did not run";
        const std::string guardFolder = m_scene->TempFile("VemliGuard-");
        if (signedSetup) {
            EXPECT_EQ(record["path"].rfind(guardFolder, 0), 0u) << record["path"];
            EXPECT_EQ(record["path"].find('\\', guardFolder.size()),
                      record["path"].size() - sizeof "VemliSetup.exe")
                << record["path"];
        } else {
            EXPECT_EQ(record["path"], m_scene->TempFile("VemliSetup.exe"));
        }
        EXPECT_EQ(record["commandline"], " /S /D=" + m_scene->AppFolder());
        EXPECT_TRUE(LogHas(m_scene->ClientLog(0), "WM_QUIT"));
        EXPECT_TRUE(m_scene->HasNewClient());
    }

    // No setup started, none left behind, the client neither asked nor touched.
    void ExpectRefused() {
        EXPECT_EQ(CUpdaterScene::ReadFile(m_scene->AppFile("Vemli.exe")),
                  CUpdaterScene::kOldClient);
        EXPECT_FALSE(CUpdaterScene::FileExists(m_scene->AppFile("Vemli.exe.bak")));
        EXPECT_FALSE(CUpdaterScene::FileExists(m_scene->TempFile("VemliSetup.exe")));
        EXPECT_FALSE(CUpdaterScene::FileExists(m_scene->TempFile("VemliSetup.exe.record")));
        EXPECT_FALSE(LogHas(m_scene->ClientLog(0), "asked"));
    }

    std::unique_ptr<CUpdaterScene> m_scene;
    std::string m_setup;
    std::string m_setupPath;
};

struct ReleaseCase {
    const char* variant;
    bool withKey;
    // What the updater must do: hand over, or refuse the document (UE_VERSION_INVALID,
    // the setup never asked for), or refuse the download (UE_CONNECTION_LOST).
    enum { HandOver, InvalidDocument, FailedDownload } outcome;
};

void PrintTo(const ReleaseCase& c, std::ostream* os) {
    *os << c.variant << (c.withKey ? " with SetupKey" : " without SetupKey");
}

class SignedRelease : public SignedUpdate, public ::testing::WithParamInterface<ReleaseCase> {};

TEST_P(SignedRelease, EndsAsTheSignatureDecides) {
    const ReleaseCase& c = GetParam();
    const std::string key = m_scene->Server().SetupKey();
    ASSERT_EQ(key.size(), 128u);
    WriteServerIni(c.withKey ? key : "");
    Release(c.variant);
    ASSERT_TRUE(m_scene->StartClient("Vemli", 1));

    EXPECT_EQ(m_scene->RunUpdater(kClientVersion), 0);

    if (c.outcome == ReleaseCase::HandOver) {
        ExpectHandedOver(c.withKey);
        return;
    }
    ExpectRefused();
    EXPECT_EQ(SetupRequested(), c.outcome == ReleaseCase::FailedDownload);
    // An endless setup costs no more than its signed size (and what the
    // sockets hold): the download stops, whatever the server sends.
    EXPECT_LT(m_scene->Server().Sent(m_setupPath), 16 << 20);
}

const ReleaseCase kReleases[] = {
    {"good", true, ReleaseCase::HandOver},
    {"expires", true, ReleaseCase::HandOver},
    {"upper_digest", true, ReleaseCase::HandOver},
    {"expired", true, ReleaseCase::InvalidDocument},
    {"no_size", true, ReleaseCase::InvalidDocument},
    {"size_small", true, ReleaseCase::FailedDownload},
    {"endless", true, ReleaseCase::FailedDownload},
    {"bad_signature", true, ReleaseCase::InvalidDocument},
    {"other_version", true, ReleaseCase::InvalidDocument},
    {"no_digest", true, ReleaseCase::InvalidDocument},
    {"no_signature", true, ReleaseCase::InvalidDocument},
    {"no_keys", true, ReleaseCase::InvalidDocument},
    {"other_digest", true, ReleaseCase::FailedDownload},
    {"in_transit", true, ReleaseCase::FailedDownload},
    // Opt-in: without a key the signature lines mean nothing.
    {"bad_signature", false, ReleaseCase::HandOver},
};

INSTANTIATE_TEST_SUITE_P(Cases, SignedRelease, ::testing::ValuesIn(kReleases));

struct KeyCase {
    const char* label;
    std::string key;
};

void PrintTo(const KeyCase& c, std::ostream* os) {
    *os << c.label;
}

class SetupKeyRefused : public SignedUpdate, public ::testing::WithParamInterface<KeyCase> {};

// A key that cannot be used never lets a setup run; a malformed one stops the
// updater before any request.
TEST_P(SetupKeyRefused, NothingIsHandedOver) {
    WriteServerIni(GetParam().key);
    Release("good");
    ASSERT_TRUE(m_scene->StartClient("Vemli", 1));

    EXPECT_EQ(m_scene->RunUpdater(kClientVersion), 0);

    ExpectRefused();
    EXPECT_FALSE(SetupRequested());
    if (GetParam().key.size() != 128) {
        EXPECT_TRUE(m_scene->Requests().empty());
    }
}

const KeyCase kKeys[] = {
    {"127 digits", std::string(127, 'a')},
    {"not hex", std::string(127, 'a') + "g"},
    // Imported by some platforms, refused by others: either way no update.
    {"not a point on the curve", std::string(126, '0') + "01"},
};

INSTANTIATE_TEST_SUITE_P(Cases, SetupKeyRefused, ::testing::ValuesIn(kKeys));

class StraySetupKey : public SignedUpdate, public ::testing::WithParamInterface<const char*> {};

// A key written so that the lookup would not read it must not make a
// signed updater an unsigned one: Server.ini is not used at all, even for a
// release whose signature is broken.
TEST_P(StraySetupKey, MakesServerIniUnusable) {
    std::string ini = "[Update]\r\nServer=update.example\r\nPath=/" + SceneName() +
                      "/\r\nFile=version.ini\r\n[Server]\r\nmain=update.example:80\r\n";
    const std::string line = std::string(GetParam()) + "=" + m_scene->Server().SetupKey() + "\r\n";
    if (std::string(GetParam()) == "[Update]") {
        ini += "[Update]\r\nSetupKey=" + m_scene->Server().SetupKey() + "\r\n";
    } else {
        ini.insert(ini.find("Server="), line);
    }
    m_scene->WriteServerIni(ini);
    Release("bad_signature");
    ASSERT_TRUE(m_scene->StartClient("Vemli", 1));

    EXPECT_EQ(m_scene->RunUpdater(kClientVersion), 0);

    ExpectRefused();
    EXPECT_TRUE(m_scene->Requests().empty());
}

// Lower case, indented, and a second [Update] section appended at the end.
INSTANTIATE_TEST_SUITE_P(Spellings, StraySetupKey,
                         ::testing::Values("setupkey", "  SetupKey", "[Update]"));

// A file: address (a UNC path would send the user's network credentials to
// whoever answers) is no address with a key, even when it names the signed
// bytes themselves.
TEST_F(SignedUpdate, FileAddressIsNeverUsed) {
    WriteServerIni(m_scene->Server().SetupKey());
    const std::string local = m_scene->AppFile("copy.bin");
    std::ofstream(local, std::ios::binary) << m_setup;
    std::string url = "file:///" + local;
    std::replace(url.begin(), url.end(), '\\', '/');
    Release("good", url);
    ASSERT_TRUE(m_scene->StartClient("Vemli", 1));

    EXPECT_EQ(m_scene->RunUpdater(kClientVersion), 0);

    ExpectRefused();
    EXPECT_EQ(m_scene->Requests().size(), 1u) << "only the version document";
}

// A signed setup is written once, by us: WinINet keeps no copy of it in its
// cache (an unsigned run does, which shows that the cache is there to see).
TEST_F(SignedUpdate, SignedSetupLeavesNoCopyInTheCache) {
    const std::string key = m_scene->Server().SetupKey();
    for (bool withKey : {false, true}) {
        SCOPED_TRACE(withKey ? "with SetupKey" : "without SetupKey");
        WriteServerIni(withKey ? key : "");
        Release("good");
        std::ofstream(m_scene->AppFile("Vemli.exe"), std::ios::binary) << CUpdaterScene::kOldClient;
        DeleteFileA(m_scene->TempFile("VemliSetup.exe.record").c_str());
        EXPECT_EQ(m_scene->RunUpdater(kClientVersion), 0);
        EXPECT_FALSE(m_scene->WaitForSetupRecord().empty());
        const std::string url = "http://dl1.example" + m_setupPath;
        DWORD size = 0;
        GetUrlCacheEntryInfoA(url.c_str(), nullptr, &size);
        EXPECT_EQ(GetLastError() != ERROR_FILE_NOT_FOUND, !withKey);
    }
}

// A client window that hangs when asked cannot hold the updater (and with it
// the instance mutex and the setup): after 30 s it counts as a refusal, and
// the setup runs while the window still hangs.
TEST_F(SignedUpdate, HungClientCountsAsRefusal) {
    WriteServerIni(m_scene->Server().SetupKey());
    Release("good");
    ASSERT_TRUE(m_scene->StartHungClient("Vemli", 120000));

    EXPECT_EQ(m_scene->RunUpdater(kClientVersion, 60000), 0);

    EXPECT_FALSE(m_scene->WaitForSetupRecord().empty());
    const std::vector<std::string> log = m_scene->ClientLog(0);
    EXPECT_TRUE(LogHas(log, "asked"));
    EXPECT_FALSE(LogHas(log, "hang over"));
    EXPECT_FALSE(LogHas(log, "WM_QUIT"));
}

// Resumed downloads: a signed setup whose connection ends early is asked for
// again from where it broke off; the signed digest still decides.
struct ResumeCase {
    const char* label;
    bool withKey;
    const char* variant;
    // Where the server's answers end early, in quarters of the setup (one
    // entry per request, the rest whole), and further route options.
    std::vector<int> cutQuarters;
    const char* options;
    bool handedOver;
    // The first byte of each range request that follows, in quarters.
    std::vector<int> rangeQuarters;
};

void PrintTo(const ResumeCase& c, std::ostream* os) {
    *os << c.label;
}

class ResumeScene : public SignedUpdate {
protected:
    std::string CutOptions(const std::vector<int>& quarters) const {
        std::string cuts;
        for (int q : quarters) {
            cuts += (cuts.empty() ? "&cuts=" : ",") + std::to_string(m_setup.size() * q / 4);
        }
        return cuts;
    }

    std::vector<SeenRequest> SetupRequestsSeen() {
        std::vector<SeenRequest> seen;
        for (const SeenRequest& r : m_scene->Requests()) {
            if (r.path == m_setupPath) {
                seen.push_back(r);
            }
        }
        return seen;
    }

    std::string RangeFrom(int quarters) const {
        return "bytes=" + std::to_string(m_setup.size() * quarters / 4) + "-";
    }

    bool PartLeft() const {
        return CUpdaterScene::FileExists(m_scene->TempFile("VemliSetup.exe.part")) ||
               CUpdaterScene::FileExists(m_scene->TempFile("VemliSetup.exe.part.txt"));
    }
};

class ResumedDownload : public ResumeScene, public ::testing::WithParamInterface<ResumeCase> {};

TEST_P(ResumedDownload, WithinOneRun) {
    const ResumeCase& c = GetParam();
    WriteServerIni(c.withKey ? m_scene->Server().SetupKey() : "");
    m_setupPath = "/" + SceneName() + "-" + std::to_string(GetTickCount64()) + "/VemliSetup.exe";
    ASSERT_TRUE(m_scene->Server().Release("/" + SceneName() + "/version.ini", m_setupPath,
                                          "http://dl1.example" + m_setupPath, "1,2,3,5", c.variant,
                                          m_setup, CutOptions(c.cutQuarters) + c.options));
    ASSERT_TRUE(m_scene->StartClient("Vemli", 1));

    EXPECT_EQ(m_scene->RunUpdater(kClientVersion), 0);

    if (c.handedOver) {
        ExpectHandedOver();
    } else {
        ExpectRefused();
    }
    EXPECT_FALSE(PartLeft());
    const std::vector<SeenRequest> seen = SetupRequestsSeen();
    ASSERT_EQ(seen.size(), c.rangeQuarters.size() + 1);
    EXPECT_EQ(seen[0].range, "");
    for (std::size_t i = 0; i < c.rangeQuarters.size(); ++i) {
        EXPECT_EQ(seen[i + 1].range, RangeFrom(c.rangeQuarters[i])) << i;
        EXPECT_EQ(seen[i + 1].ifRange, "\"e1\"") << i;
    }
}

const ResumeCase kResumes[] = {
    {"cut at half, resumed", true, "good", {2}, "", true, {2}},
    {"cut twice", true, "good", {1, 3}, "", true, {1, 3}},
    {"ranges ignored: starts over", true, "good", {2}, "&range=ignore", true, {2}},
    {"answer for another range", true, "good", {2}, "&range=wrong", false, {2}},
    // The rest differs from the signed bytes: the digest refuses the whole.
    {"resumed bytes differ", true, "in_transit", {1}, "", false, {1}},
    // Nothing vouches for bytes on disk without a key: no range, no part.
    {"unsigned never resumes", false, "good", {2}, "", false, {}},
};

INSTANTIATE_TEST_SUITE_P(Cases, ResumedDownload, ::testing::ValuesIn(kResumes));

struct AcrossRunsCase {
    const char* label;
    // The first run's answers: where they end early (in quarters, one entry
    // per request) and further route options; none of them completes.
    std::vector<int> cutQuarters;
    const char* firstOptions;
    // Route options for the second run; null: the first run's route stays.
    const char* secondOptions;
    bool startsOver; // the second run fetches the whole setup again
};

void PrintTo(const AcrossRunsCase& c, std::ostream* os) {
    *os << c.label;
}

class ResumedAcrossRuns : public ResumeScene,
                          public ::testing::WithParamInterface<AcrossRunsCase> {};

// A run whose answers all break off keeps the part and its record after its
// three tries, also when every request for the rest fails at the connection;
// the next run resumes it from there, unless the file changed on the server
// meanwhile (a new ETag), which starts it over.
TEST_P(ResumedAcrossRuns, NextRunGoesOnFromThePart) {
    const AcrossRunsCase& c = GetParam();
    WriteServerIni(m_scene->Server().SetupKey());
    m_setupPath = "/" + SceneName() + "-" + std::to_string(GetTickCount64()) + "/VemliSetup.exe";
    const std::string document = "/" + SceneName() + "/version.ini";
    const std::string url = "http://dl1.example" + m_setupPath;
    ASSERT_TRUE(m_scene->Server().Release(document, m_setupPath, url, "1,2,3,5", "good", m_setup,
                                          CutOptions(c.cutQuarters) + c.firstOptions));
    ASSERT_TRUE(m_scene->StartClient("Vemli", 1));

    EXPECT_EQ(m_scene->RunUpdater(kClientVersion), 0);

    EXPECT_TRUE(CUpdaterScene::FileExists(m_scene->TempFile("VemliSetup.exe.part")));
    EXPECT_TRUE(CUpdaterScene::FileExists(m_scene->TempFile("VemliSetup.exe.part.txt")));
    EXPECT_FALSE(CUpdaterScene::FileExists(m_scene->TempFile("VemliSetup.exe")));
    EXPECT_FALSE(LogHas(m_scene->ClientLog(0), "asked"));
    ASSERT_EQ(SetupRequestsSeen().size(), 4u);

    if (c.secondOptions != nullptr) {
        ASSERT_TRUE(m_scene->Server().Release(document, m_setupPath, url, "1,2,3,5", "good",
                                              m_setup, c.secondOptions));
    }
    const long long sentBefore = m_scene->Server().Sent(m_setupPath);
    EXPECT_EQ(m_scene->RunUpdater(kClientVersion), 0);

    ExpectHandedOver();
    EXPECT_FALSE(PartLeft());
    const std::vector<SeenRequest> seen = SetupRequestsSeen();
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[4].range, RangeFrom(2));
    EXPECT_EQ(seen[4].ifRange, "\"e1\"");
    const long long half = static_cast<long long>(m_setup.size() - m_setup.size() * 2 / 4);
    EXPECT_EQ(m_scene->Server().Sent(m_setupPath) - sentBefore,
              c.startsOver ? static_cast<long long>(m_setup.size()) : half);
}

const AcrossRunsCase kAcrossRuns[] = {
    {"same file", {2, 2, 2, 2}, "", nullptr, false},
    {"file changed", {2, 2, 2, 2}, "", "&etag=change", true},
    {"every request for the rest reset", {2}, "&range=reset", "", false},
};

INSTANTIATE_TEST_SUITE_P(Cases, ResumedAcrossRuns, ::testing::ValuesIn(kAcrossRuns));

// The client, asked to end while the updater holds the checked setup in the
// guard's folder, tries to write, delete, rename and replace it: all four
// must fail, and the setup that runs is the signed one (a swapped file would
// not run and write its record).
TEST_F(SignedUpdate, SetupCannotBeSwappedBeforeItStarts) {
    WriteServerIni(m_scene->Server().SetupKey());
    Release("good");
    const std::string target = m_scene->TempFile("VemliGuard-*\\VemliSetup.exe");
    ASSERT_TRUE(m_scene->StartClient("Vemli", 1, "", target));

    EXPECT_EQ(m_scene->RunUpdater(kClientVersion), 0);

    ExpectHandedOver();
    const std::vector<std::string> log = m_scene->ClientLog(0);
    for (const char* what : {"write", "delete", "rename", "replace"}) {
        EXPECT_TRUE(LogHas(log, std::string("tamper ") + what + " refused")) << what;
    }
}

// Setups over https: the test server's certificates come from a test
// authority that the scene's Wine prefix trusts while the test runs. Only a
// valid certificate issued for the host is handed over; the others leave
// nothing behind and the client untouched, with a setup key or without.
struct HttpsCase {
    const char* host; // the server's certificate for it: see the server
    bool withKey;
    bool handedOver;
};

void PrintTo(const HttpsCase& c, std::ostream* os) {
    *os << c.host << (c.withKey ? " with SetupKey" : " without SetupKey");
}

class HttpsRelease : public SignedUpdate, public ::testing::WithParamInterface<HttpsCase> {};

TEST_P(HttpsRelease, OnlyATrustedCertificateIsHandedOver) {
    const HttpsCase& c = GetParam();
    CTrustedAuthority authority(m_scene->Server().TlsAuthority());
    ASSERT_TRUE(authority.IsTrusted());
    WriteServerIni(c.withKey ? m_scene->Server().SetupKey() : "");
    m_setupPath = "/" + SceneName() + "-" + std::to_string(GetTickCount64()) + "/VemliSetup.exe";
    ASSERT_TRUE(m_scene->Server().Release("/" + SceneName() + "/version.ini", m_setupPath,
                                          std::string("https://") + c.host + m_setupPath, "1,2,3,5",
                                          "good", m_setup));
    ASSERT_TRUE(m_scene->StartClient("Vemli", 1));

    EXPECT_EQ(m_scene->RunUpdater(kClientVersion), 0);

    if (c.handedOver) {
        ExpectHandedOver(c.withKey);
    } else {
        ExpectRefused();
    }
    EXPECT_EQ(m_scene->Server().Sent(m_setupPath),
              c.handedOver ? static_cast<long long>(m_setup.size()) : 0);
    EXPECT_FALSE(CUpdaterScene::FileExists(m_scene->TempFile("VemliSetup.exe.part")));
    EXPECT_FALSE(CUpdaterScene::FileExists(m_scene->TempFile("VemliSetup.exe.part.txt")));
}

const HttpsCase kHttps[] = {
    {"secure.example", true, true},      {"secure.example", false, true},
    {"selfsigned.example", true, false}, {"selfsigned.example", false, false},
    {"expired.example", true, false},    {"expired.example", false, false},
    {"wrongname.example", true, false},  {"wrongname.example", false, false},
};

INSTANTIATE_TEST_SUITE_P(Cases, HttpsRelease, ::testing::ValuesIn(kHttps));

} // namespace
