// updater.exe end to end under Wine: the real program in a fresh folder per
// scene, against the test update server (reached as the http proxy, so the
// fixed port 80 of the version check lands there), with stand-in client
// windows and a stand-in setup. Everything is checked from the outside.
#include "UpdaterScene.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <ctime>
#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr char kClientVersion[] = " -v16909060"; // 1,2,3,4

std::vector<std::string> PathsOf(const std::vector<SeenRequest>& requests) {
    std::vector<std::string> paths;
    for (const SeenRequest& request : requests) {
        paths.push_back(request.path);
    }
    return paths;
}

// Where an "asked" line sits in a client log, or -1.
int LineOf(const std::vector<std::string>& log, const std::string& prefix) {
    for (std::size_t i = 0; i < log.size(); ++i) {
        if (log[i].rfind(prefix, 0) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// The updater seeds its choice of address with the current second: returns
// once the clock has passed the second in which the last run ended.
void WaitForNextSecond() {
    const std::time_t last = std::time(nullptr);
    WaitUntil([&] { return std::time(nullptr) != last; }, 2000, 20);
}

class UpdaterRun : public ::testing::Test {
protected:
    void SetUp() override {
        m_scene = std::make_unique<CUpdaterScene>(SceneName());
        ASSERT_TRUE(m_scene->IsReady()) << "scene folder or test update server missing";
    }

    // Nothing of the client was touched and no setup ran.
    void ExpectNothingChanged(std::size_t clients = 1) {
        EXPECT_EQ(CUpdaterScene::ReadFile(m_scene->AppFile("Vemli.exe")),
                  CUpdaterScene::kOldClient);
        EXPECT_FALSE(CUpdaterScene::FileExists(m_scene->AppFile("Vemli.exe.bak")));
        EXPECT_FALSE(CUpdaterScene::FileExists(m_scene->TempFile("VemliSetup.exe")));
        EXPECT_FALSE(CUpdaterScene::FileExists(m_scene->TempFile("VemliSetup.exe.record")));
        for (std::size_t i = 0; i < clients; ++i) {
            EXPECT_FALSE(LogHas(m_scene->ClientLog(i), "asked")) << "client " << i;
            EXPECT_FALSE(LogHas(m_scene->ClientLog(i), "WM_QUIT")) << "client " << i;
        }
    }

    // The setup ran once from the temporary folder, silently into our folder.
    void ExpectSetupStarted(const char* clientAtStart) {
        std::map<std::string, std::string> record = m_scene->WaitForSetupRecord();
        ASSERT_FALSE(record.empty()) << "the setup did not run";
        EXPECT_EQ(record["commandline"], " /S /D=" + m_scene->AppFolder());
        EXPECT_EQ(record["folder"], m_scene->AppFolder());
        EXPECT_EQ(record["path"], m_scene->TempFile("VemliSetup.exe"));
        EXPECT_EQ(record["client"], clientAtStart);
    }

    std::unique_ptr<CUpdaterScene> m_scene;
};

TEST_F(UpdaterRun, NewerVersionIsInstalledAfterTheClientAgreesToEnd) {
    m_scene->WriteServerIni();
    const std::string url = m_scene->ServeSetup("dl1.example");
    ASSERT_TRUE(m_scene->ServeVersion("1,2,3,5", {url}));
    ASSERT_TRUE(m_scene->StartClient("Vemli", 1));

    EXPECT_EQ(m_scene->RunUpdater(kClientVersion), 0);

    ExpectSetupStarted("absent");
    const std::vector<std::string> log = m_scene->ClientLog(0);
    const int asked = LineOf(log, "asked");
    ASSERT_GE(asked, 0);
    EXPECT_NE(log[asked].find(" 0 0 answer 1"), std::string::npos) << log[asked];
    EXPECT_GT(LineOf(log, "WM_QUIT"), asked);
    EXPECT_TRUE(m_scene->HasNewClient());
    EXPECT_FALSE(CUpdaterScene::FileExists(m_scene->AppFile("Vemli.exe.bak")));

    const std::vector<SeenRequest> requests = m_scene->Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].path, "/" + SceneName() + "/version.ini");
    EXPECT_EQ(requests[0].host, "update.example:80");
    EXPECT_EQ("http://dl1.example" + requests[1].path, url);
}

TEST_F(UpdaterRun, ClientAnsweringZeroGetsNoQuitAndTheSetupStartsAnyway) {
    m_scene->WriteServerIni();
    ASSERT_TRUE(m_scene->ServeVersion("1,2,3,5", {m_scene->ServeSetup("dl1.example")}));
    ASSERT_TRUE(m_scene->StartClient("vemli", 0));

    EXPECT_EQ(m_scene->RunUpdater(kClientVersion), 0);

    ExpectSetupStarted("absent");
    const std::vector<std::string> log = m_scene->ClientLog(0);
    EXPECT_TRUE(LogHas(log, "asked")) << "a title in other letter case is still the client";
    EXPECT_FALSE(LogHas(log, "WM_QUIT"));
}

TEST_F(UpdaterRun, EveryClientWindowIsAskedAndOthersAreLeftAlone) {
    m_scene->WriteServerIni();
    ASSERT_TRUE(m_scene->ServeVersion("1,2,3,5", {m_scene->ServeSetup("dl1.example")}));
    ASSERT_TRUE(m_scene->StartClient("VEMLI", 1));
    ASSERT_TRUE(m_scene->StartClient("Vemli", 0));
    ASSERT_TRUE(m_scene->StartClient("Vemli 2", 1));
    ASSERT_TRUE(m_scene->StartClient("Vem", 1));

    EXPECT_EQ(m_scene->RunUpdater(kClientVersion), 0);

    ExpectSetupStarted("absent");
    EXPECT_TRUE(LogHas(m_scene->ClientLog(0), "asked"));
    EXPECT_TRUE(LogHas(m_scene->ClientLog(0), "WM_QUIT"));
    EXPECT_TRUE(LogHas(m_scene->ClientLog(1), "asked"));
    EXPECT_FALSE(LogHas(m_scene->ClientLog(1), "WM_QUIT"));
    for (std::size_t other : {2u, 3u}) {
        EXPECT_FALSE(LogHas(m_scene->ClientLog(other), "asked")) << other;
        EXPECT_FALSE(LogHas(m_scene->ClientLog(other), "WM_QUIT")) << other;
    }
}

TEST_F(UpdaterRun, NoClientRunningStillInstalls) {
    m_scene->WriteServerIni();
    ASSERT_TRUE(m_scene->ServeVersion("1,2,3,5", {m_scene->ServeSetup("dl1.example")}));

    EXPECT_EQ(m_scene->RunUpdater(kClientVersion), 0);

    ExpectSetupStarted("absent");
    EXPECT_TRUE(m_scene->HasNewClient());
}

// The user must never be left without a client: a setup that cannot start
// gives the old executable back.
TEST_F(UpdaterRun, SetupThatCannotStartLeavesTheClientInPlace) {
    m_scene->WriteServerIni();
    const std::string url =
        m_scene->ServeSetupBody("dl1.example", "this is no program, only text\r\n");
    ASSERT_TRUE(m_scene->ServeVersion("1,2,3,5", {url}));
    ASSERT_TRUE(m_scene->StartClient("Vemli", 1));

    EXPECT_EQ(m_scene->RunUpdater(kClientVersion), 0);

    EXPECT_TRUE(CUpdaterScene::FileExists(m_scene->TempFile("VemliSetup.exe")))
        << "the download itself must have worked";
    EXPECT_TRUE(LogHas(m_scene->ClientLog(0), "WM_QUIT"));
    EXPECT_EQ(CUpdaterScene::ReadFile(m_scene->AppFile("Vemli.exe")), CUpdaterScene::kOldClient);
    EXPECT_FALSE(CUpdaterScene::FileExists(m_scene->AppFile("Vemli.exe.bak")));
}

// A client that does not end keeps its executable: the setup runs beside it
// and no copy is left behind.
TEST_F(UpdaterRun, RunningClientKeepsItsFile) {
    m_scene->WriteServerIni();
    ASSERT_TRUE(m_scene->ServeVersion("1,2,3,5", {m_scene->ServeSetup("dl1.example")}));
    const std::string running = CUpdaterScene::ReadFile(BuildOutput(UPDATER_CLIENT_STANDIN_EXE));
    ASSERT_TRUE(CopyFileA(BuildOutput(UPDATER_CLIENT_STANDIN_EXE).c_str(),
                          m_scene->AppFile("Vemli.exe").c_str(), FALSE));
    ASSERT_TRUE(m_scene->StartClient("Vemli", 0, m_scene->AppFile("Vemli.exe")));

    EXPECT_EQ(m_scene->RunUpdater(kClientVersion), 0);

    ExpectSetupStarted("present");
    EXPECT_FALSE(LogHas(m_scene->ClientLog(0), "WM_QUIT"));
    EXPECT_TRUE(CUpdaterScene::ReadFile(m_scene->AppFile("Vemli.exe")) == running);
    EXPECT_FALSE(CUpdaterScene::FileExists(m_scene->AppFile("Vemli.exe.bak")));
}

// The copy of the client never takes the place of a file the user keeps.
TEST_F(UpdaterRun, UsersOwnBackupIsLeftAlone) {
    m_scene->WriteServerIni();
    ASSERT_TRUE(m_scene->ServeVersion("1,2,3,5", {m_scene->ServeSetup("dl1.example")}));
    ASSERT_TRUE(CopyFileA(BuildOutput(UPDATER_SETUP_STANDIN_EXE).c_str(),
                          m_scene->AppFile("Vemli.exe.bak").c_str(), TRUE));
    const std::string users = CUpdaterScene::ReadFile(m_scene->AppFile("Vemli.exe.bak"));

    for (const char* setup : {"runs", "cannot start"}) {
        if (std::string(setup) == "cannot start") {
            m_scene->WriteServerIni();
            ASSERT_TRUE(m_scene->ServeVersion(
                "1,2,3,5", {m_scene->ServeSetupBody("dl1.example", "no program\r\n")}));
        }
        EXPECT_EQ(m_scene->RunUpdater(kClientVersion), 0) << setup;
        EXPECT_TRUE(CUpdaterScene::ReadFile(m_scene->AppFile("Vemli.exe.bak")) == users) << setup;
        EXPECT_FALSE(CUpdaterScene::FileExists(m_scene->AppFile("Vemli.exe.1.bak"))) << setup;
        if (std::string(setup) == "runs") {
            ExpectSetupStarted("absent");
            EXPECT_TRUE(m_scene->HasNewClient());
            CopyFileA(m_scene->AppFile("Vemli.exe.bak").c_str(),
                      m_scene->AppFile("Vemli.exe").c_str(), FALSE);
        } else {
            EXPECT_TRUE(CUpdaterScene::ReadFile(m_scene->AppFile("Vemli.exe")) == users);
        }
    }
}

// A folder that holds "Vemli.exe" within the path limit but not a copy of it
// still gets its update; only the old executable stays.
TEST_F(UpdaterRun, LongInstallFolderStillHandsOver) {
    m_scene = std::make_unique<CUpdaterScene>(SceneName(), 247);
    ASSERT_TRUE(m_scene->IsReady());
    m_scene->SetEnvironment("VEMLI_SETUP_STANDIN", ""); // a setup that writes nothing
    ASSERT_LT(m_scene->AppFile("Vemli.exe").size(), 260u);
    ASSERT_GE(m_scene->AppFile("Vemli.exe.bak").size(), 260u);
    m_scene->WriteServerIni();
    ASSERT_TRUE(m_scene->ServeVersion("1,2,3,5", {m_scene->ServeSetup("dl1.example")}));
    ASSERT_TRUE(m_scene->StartClient("Vemli", 1));

    EXPECT_EQ(m_scene->RunUpdater(kClientVersion), 0);

    ExpectSetupStarted("present");
    EXPECT_TRUE(LogHas(m_scene->ClientLog(0), "WM_QUIT"));
    EXPECT_EQ(CUpdaterScene::ReadFile(m_scene->AppFile("Vemli.exe")), CUpdaterScene::kOldClient);
}

struct CommandLineCase {
    const char* label;
    const char* tail; // after the program name, separating blank included
    bool quoted;
    bool accepted;
};

void PrintTo(const CommandLineCase& c, std::ostream* os) {
    *os << c.label;
}

class UpdaterCommandLine : public UpdaterRun,
                           public ::testing::WithParamInterface<CommandLineCase> {};

TEST_P(UpdaterCommandLine, OnlyALeadingDashVStartsARun) {
    const CommandLineCase& c = GetParam();
    m_scene->WriteServerIni();
    ASSERT_TRUE(m_scene->ServeVersion("1,2,3,5", {m_scene->ServeSetup("dl1.example")}));
    ASSERT_TRUE(m_scene->StartClient("Vemli", 1));

    HANDLE process = m_scene->StartUpdater(c.tail, c.quoted);
    ASSERT_NE(process, nullptr);
    ASSERT_EQ(WaitForSingleObject(process, 90000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    EXPECT_EQ(code, 0u);

    if (c.accepted) {
        ExpectSetupStarted("absent");
        EXPECT_EQ(m_scene->Requests().size(), 2u);
    } else {
        EXPECT_TRUE(m_scene->Requests().empty()) << "no request without -v";
        ExpectNothingChanged();
    }
}

const CommandLineCase kCommandLines[] = {
    {"upper-case switch", " -V16909060", true, true},
    {"unquoted program name", " -v16909060", false, true},
    {"switch alone is version 0", " -v", true, true},
    {"leading blank", "  -v16909060", true, false},
    {"slash switch", " /v16909060", true, false},
    {"no arguments", "", true, false},
};

INSTANTIATE_TEST_SUITE_P(Cases, UpdaterCommandLine, ::testing::ValuesIn(kCommandLines));

struct NothingNewerCase {
    const char* label;
    const char* serverVersion;
    const char* tail;
};

void PrintTo(const NothingNewerCase& c, std::ostream* os) {
    *os << c.label;
}

class UpdaterNothingNewer : public UpdaterRun,
                            public ::testing::WithParamInterface<NothingNewerCase> {};

TEST_P(UpdaterNothingNewer, OnlyTheVersionIsAsked) {
    const NothingNewerCase& c = GetParam();
    m_scene->WriteServerIni();
    ASSERT_TRUE(m_scene->ServeVersion(c.serverVersion, {m_scene->ServeSetup("dl1.example")}));
    ASSERT_TRUE(m_scene->StartClient("Vemli", 1));

    EXPECT_EQ(m_scene->RunUpdater(c.tail), 0);

    EXPECT_EQ(PathsOf(m_scene->Requests()),
              std::vector<std::string>{"/" + SceneName() + "/version.ini"});
    ExpectNothingChanged();
}

const NothingNewerCase kNothingNewer[] = {
    {"equal version", "1,2,3,4", kClientVersion},
    {"dotted version packs to 0", "1.2.3.4", " -v0"},
    {"client version above 2^31 compares unsigned", "127,255,255,255", " -v4278190080"},
};

INSTANTIATE_TEST_SUITE_P(Cases, UpdaterNothingNewer, ::testing::ValuesIn(kNothingNewer));

// Every way the engine can fail ends the run without touching the client.
struct EngineFailureCase {
    const char* label;
    const char* document; // null: the usual document with the setup below
    int versionStatus;
    const char* versionMode;
    int setupStatus;
    const char* setupMode;
    bool unreachableSetup;
};

void PrintTo(const EngineFailureCase& c, std::ostream* os) {
    *os << c.label;
}

class UpdaterEngineFailure : public UpdaterRun,
                             public ::testing::WithParamInterface<EngineFailureCase> {};

TEST_P(UpdaterEngineFailure, ChangesNothing) {
    const EngineFailureCase& c = GetParam();
    m_scene->WriteServerIni();
    const std::string url =
        c.unreachableSetup
            ? "http://127.0.0.2:9/VemliSetup.exe"
            : m_scene->ServeSetupBody(
                  "dl1.example", CUpdaterScene::ReadFile(BuildOutput(UPDATER_SETUP_STANDIN_EXE)),
                  c.setupStatus, c.setupMode);
    const std::string document =
        c.document != nullptr
            ? c.document
            : "[Version]\r\nCurrentVersion=1,2,3,5\r\n[DownloadUrls]\r\na=" + url + "\r\n";
    ASSERT_TRUE(m_scene->ServeVersionDocument(document, c.versionStatus, c.versionMode));
    ASSERT_TRUE(m_scene->StartClient("Vemli", 1));

    EXPECT_EQ(m_scene->RunUpdater(kClientVersion), 0);

    ExpectNothingChanged();
    EXPECT_FALSE(m_scene->Requests().empty());
}

const EngineFailureCase kEngineFailures[] = {
    {"version document missing (404)", nullptr, 404, "normal", 200, "normal", false},
    {"version request reset", nullptr, 200, "reset_request", 200, "normal", false},
    {"no download addresses", "[Version]\r\nCurrentVersion=9,9,9,9\r\n[DownloadUrls]\r\n", 200,
     "normal", 200, "normal", false},
    {"address without value", "[Version]\r\nCurrentVersion=9,9,9,9\r\n[DownloadUrls]\r\na=\r\n",
     200, "normal", 200, "normal", false},
    {"setup missing (404)", nullptr, 200, "normal", 404, "normal", false},
    {"setup address unreachable", nullptr, 200, "normal", 200, "normal", true},
    {"setup connection reset", nullptr, 200, "normal", 200, "reset_mid", false},
};

INSTANTIATE_TEST_SUITE_P(Cases, UpdaterEngineFailure, ::testing::ValuesIn(kEngineFailures));

struct ConfigCase {
    const char* label;
    const char* serverIni; // null: no Server.ini at all
};

void PrintTo(const ConfigCase& c, std::ostream* os) {
    *os << c.label;
}

class UpdaterConfig : public UpdaterRun, public ::testing::WithParamInterface<ConfigCase> {};

TEST_P(UpdaterConfig, BadConfigurationSendsNoRequest) {
    const ConfigCase& c = GetParam();
    if (c.serverIni != nullptr) {
        m_scene->WriteServerIni(c.serverIni);
    }
    ASSERT_TRUE(m_scene->ServeVersion("1,2,3,5", {m_scene->ServeSetup("dl1.example")}));
    ASSERT_TRUE(m_scene->StartClient("Vemli", 1));

    EXPECT_EQ(m_scene->RunUpdater(kClientVersion), 0);

    EXPECT_TRUE(m_scene->Requests().empty());
    ExpectNothingChanged();
}

const ConfigCase kConfigs[] = {
    {"missing Server.ini", nullptr},
    {"no valid server entry",
     "[Update]\r\nServer=update.example\r\nPath=/p/\r\nFile=version.ini\r\n[Server]\r\n"
     "a=update.example:0\r\n"},
    {"entry before the first header",
     "Server=x\r\n[Update]\r\nServer=update.example\r\nPath=/p/\r\nFile=v.ini\r\n[Server]\r\n"
     "a=h:80\r\n"},
    {"empty update server: engine not ready",
     "[Update]\r\nServer=\r\nPath=/p/\r\nFile=version.ini\r\n[Server]\r\na=h:80\r\n"},
};

INSTANTIATE_TEST_SUITE_P(Cases, UpdaterConfig, ::testing::ValuesIn(kConfigs));

TEST_F(UpdaterRun, SecondUpdaterEndsAtOnceWithoutARequest) {
    m_scene->WriteServerIni();
    // The version document arrives slowly, so the first updater is still
    // running when the second one starts.
    ASSERT_TRUE(m_scene->ServeVersionDocument("[Version]\r\nCurrentVersion=1,2,3,4\r\n"
                                              "[DownloadUrls]\r\na=http://dl1.example/x.exe\r\n",
                                              200, "stall", 12));
    HANDLE first = m_scene->StartUpdater(kClientVersion);
    ASSERT_NE(first, nullptr);
    WaitUntil([&] { return !m_scene->Requests().empty(); }, 10000);
    ASSERT_EQ(m_scene->Requests().size(), 1u) << "the first updater never asked";

    // Waited for by its process alone: the first one holds the mutex.
    HANDLE second = m_scene->StartUpdater(kClientVersion);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(WaitForSingleObject(second, 60000), WAIT_OBJECT_0);
    CloseHandle(second);
    EXPECT_EQ(WaitForSingleObject(first, 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "the first updater should still be waiting for its document";
    EXPECT_EQ(m_scene->Requests().size(), 1u);

    EXPECT_EQ(WaitForSingleObject(first, 90000), WAIT_OBJECT_0);
    CloseHandle(first);
}

// Each run seeds its choice with the current second; runs a second apart
// must between them use every listed address.
TEST_F(UpdaterRun, RepeatedRunsUseEveryAddress) {
    m_scene->WriteServerIni();
    // The setups answer 404, so each run ends right after its download
    // request without waiting for a client.
    const std::vector<std::string> urls = {
        m_scene->ServeSetupBody("dl1.example", "", 404),
        m_scene->ServeSetupBody("dl2.example", "", 404),
        m_scene->ServeSetupBody("dl3.example", "", 404),
    };
    ASSERT_TRUE(m_scene->ServeVersion("1,2,3,5", urls));

    std::set<std::string> used;
    for (int run = 0; run < 40 && used.size() < urls.size(); ++run) {
        ASSERT_EQ(m_scene->RunUpdater(kClientVersion), 0);
        for (const SeenRequest& request : m_scene->Requests()) {
            if (request.path.find("VemliSetup.exe") != std::string::npos) {
                used.insert("http://" + request.host.substr(0, request.host.find(':')) +
                            request.path);
            }
        }
        WaitForNextSecond();
    }
    EXPECT_EQ(used, std::set<std::string>(urls.begin(), urls.end()));
}

} // namespace
