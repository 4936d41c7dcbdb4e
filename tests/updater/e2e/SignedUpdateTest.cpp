// Signed setups end to end under Wine: with SetupKey in Server.ini the real
// updater hands over only the setup the publisher signed for the offered
// version, and nobody can change it between the check and its start. The
// test update server signs with a throw-away test key of its own.
#include "UpdaterScene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
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

    // The stand-in setup released as 1,2,3,5, spoiled as `variant` says.
    void Release(const std::string& variant) {
        m_setupPath =
            "/" + SceneName() + "-" + std::to_string(GetTickCount64()) + "/VemliSetup.exe";
        ASSERT_TRUE(m_scene->Server().Release("/" + SceneName() + "/version.ini", m_setupPath,
                                              "http://dl1.example" + m_setupPath, "1,2,3,5",
                                              variant, m_setup));
    }

    bool SetupRequested() {
        const std::vector<SeenRequest> requests = m_scene->Requests();
        return std::any_of(requests.begin(), requests.end(),
                           [&](const SeenRequest& r) { return r.path == m_setupPath; });
    }

    void ExpectHandedOver() {
        std::map<std::string, std::string> record = m_scene->WaitForSetupRecord();
        ASSERT_FALSE(record.empty()) << "the setup did not run";
        EXPECT_EQ(record["path"], m_scene->TempFile("VemliSetup.exe"));
        EXPECT_EQ(record["commandline"], " /S /D=" + m_scene->AppFolder());
        EXPECT_TRUE(LogHas(m_scene->ClientLog(0), "WM_QUIT"));
        EXPECT_FALSE(CUpdaterScene::FileExists(m_scene->AppFile("Vemli.exe")));
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
        ExpectHandedOver();
        return;
    }
    ExpectRefused();
    EXPECT_EQ(SetupRequested(), c.outcome == ReleaseCase::FailedDownload);
}

const ReleaseCase kReleases[] = {
    {"good", true, ReleaseCase::HandOver},
    {"upper_digest", true, ReleaseCase::HandOver},
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

// The client, asked to end while the updater holds the checked setup, tries
// to write, delete, rename and replace it: all four must fail, and the
// setup that runs is the signed one.
TEST_F(SignedUpdate, SetupCannotBeSwappedBeforeItStarts) {
    WriteServerIni(m_scene->Server().SetupKey());
    Release("good");
    const std::string target = m_scene->TempFile("VemliSetup.exe");
    ASSERT_TRUE(m_scene->StartClient("Vemli", 1, "", target));

    EXPECT_EQ(m_scene->RunUpdater(kClientVersion), 0);

    ExpectHandedOver();
    const std::vector<std::string> log = m_scene->ClientLog(0);
    for (const char* what : {"write", "delete", "rename", "replace"}) {
        EXPECT_TRUE(LogHas(log, std::string("tamper ") + what + " refused")) << what;
    }
    EXPECT_TRUE(CUpdaterScene::ReadFile(target) == m_setup);
}

} // namespace
