// The guard end to end under Wine: the stand-in setup does what each case
// says (through its environment), and afterwards the install folder holds a
// client, a client that had quit for the setup runs again, the next run
// offered the same version leaves the client alone while a newer one is
// handed over, and the temporary folder holds at most one run's guard.
#include "UpdaterScene.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <memory>
#include <ostream>
#include <string>

namespace {

constexpr char kClientVersion[] = " -v16909060"; // 1,2,3,4

struct GuardCase {
    const char* label;
    const char* act;     // VEMLI_SETUP_STANDIN
    int answer;          // the client window's answer to the quit request
    bool killed;         // the setup is killed from outside while it waits
    const char* limit;   // VEMLI_GUARD_LIMIT_MS, or null
    bool clientIsNew;    // else the old client is back
    bool restarted;      // Vemli.exe started again by the guard
    const char* updater; // what the setup could do to updater.exe
};

void PrintTo(const GuardCase& c, std::ostream* os) {
    *os << c.label;
}

class GuardMatrix : public ::testing::TestWithParam<GuardCase> {
protected:
    void SetUp() override {
        m_scene = std::make_unique<CUpdaterScene>(SceneName());
        ASSERT_TRUE(m_scene->IsReady()) << "scene folder or test update server missing";
        // The old client is a program too (the stand-in, which only writes
        // its record when started without /D=), so its restart shows.
        m_oldClient = CUpdaterScene::ReadFile(BuildOutput(UPDATER_SETUP_STANDIN_EXE)) + "old";
        WriteClient();
        m_scene->WriteServerIni();
    }

    void TearDown() override {
        if (m_setupProcess != nullptr) {
            TerminateProcess(m_setupProcess, 1);
            WaitForSingleObject(m_setupProcess, 5000);
            CloseHandle(m_setupProcess);
        }
    }

    void WriteClient() {
        HANDLE file = CreateFileA(m_scene->AppFile("Vemli.exe").c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, m_oldClient.data(), static_cast<DWORD>(m_oldClient.size()), &written,
                  nullptr);
        CloseHandle(file);
    }

    void Release(const char* version) {
        ASSERT_TRUE(m_scene->ServeVersion(version, {m_scene->ServeSetup("dl1.example")}));
        DeleteFileA(m_scene->TempFile("VemliSetup.exe.record").c_str());
        DeleteFileA(m_scene->TempFile("Vemli.exe.record").c_str());
    }

    // Runs the updater; a setup to be killed is, once it has written its record.
    void RunUpdater(bool killSetup) {
        if (!killSetup) {
            EXPECT_EQ(m_scene->RunUpdater(kClientVersion), 0);
            return;
        }
        HANDLE updater = m_scene->StartUpdater(kClientVersion);
        ASSERT_NE(updater, nullptr);
        const std::map<std::string, std::string> record = m_scene->WaitForSetupRecord();
        ASSERT_NE(record.count("pid"), 0u);
        HANDLE setup =
            OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, std::stoul(record.at("pid")));
        ASSERT_NE(setup, nullptr);
        EXPECT_TRUE(TerminateProcess(setup, 1));
        CloseHandle(setup);
        EXPECT_EQ(WaitForSingleObject(updater, 60000), WAIT_OBJECT_0);
        CloseHandle(updater);
        EXPECT_TRUE(CUpdaterScene::WaitForHandOver());
    }

    // Guard folders in the temporary folder.
    int GuardFolders() const {
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA(m_scene->TempFile("VemliGuard-*").c_str(), &found);
        int count = 0;
        if (find != INVALID_HANDLE_VALUE) {
            do {
                count += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            } while (FindNextFileA(find, &found));
            FindClose(find);
        }
        return count;
    }

    std::unique_ptr<CUpdaterScene> m_scene;
    std::string m_oldClient;
    HANDLE m_setupProcess = nullptr;
};

TEST_P(GuardMatrix, TheUserKeepsAWorkingClient) {
    const GuardCase& c = GetParam();
    m_scene->SetEnvironment("VEMLI_SETUP_STANDIN", c.act);
    m_scene->SetEnvironment("VEMLI_SETUP_STANDIN_MS", c.killed ? "60000" : "20000");
    m_scene->SetEnvironment("VEMLI_GUARD_LIMIT_MS", c.limit != nullptr ? c.limit : "");
    Release("1,2,3,5");
    ASSERT_TRUE(m_scene->StartClient("Vemli", c.answer));

    RunUpdater(c.killed);

    std::map<std::string, std::string> setup = m_scene->WaitForSetupRecord();
    ASSERT_FALSE(setup.empty()) << "the setup did not run";
    EXPECT_EQ(setup["client"], "absent");
    EXPECT_EQ(setup["folder"], m_scene->AppFolder());
    EXPECT_EQ(setup["updater"], c.updater);
    if (c.limit != nullptr) {
        m_setupProcess =
            OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, std::stoul(setup["pid"]));
        EXPECT_EQ(WaitForSingleObject(m_setupProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT))
            << "the setup should still run past the guard's limit";
    }
    if (c.clientIsNew) {
        EXPECT_TRUE(m_scene->HasNewClient());
    } else {
        EXPECT_TRUE(CUpdaterScene::ReadFile(m_scene->AppFile("Vemli.exe")) == m_oldClient);
    }
    EXPECT_FALSE(CUpdaterScene::FileExists(m_scene->AppFile("Vemli.exe.bak")));
    // The client writes its record once it runs; one not restarted is given
    // a second to show that it was not.
    const std::string restart = m_scene->TempFile("Vemli.exe.record");
    WaitUntil([&] { return CUpdaterScene::FileExists(restart); }, c.restarted ? 10000 : 1000);
    EXPECT_EQ(CUpdaterScene::FileExists(restart), c.restarted);
    if (c.restarted) {
        const std::string record = CUpdaterScene::ReadFile(restart);
        EXPECT_NE(record.find("commandline=\"" + m_scene->AppFile("Vemli.exe") + "\"\n"),
                  std::string::npos)
            << record;
        EXPECT_NE(record.find("folder=" + m_scene->AppFolder() + "\n"), std::string::npos);
    }
    const bool failed = !c.clientIsNew;
    EXPECT_EQ(CUpdaterScene::FileExists(m_scene->TempFile("VemliSetup.failed.txt")), failed);
    EXPECT_EQ(GuardFolders(), 1);
    if (m_setupProcess != nullptr) {
        TerminateProcess(m_setupProcess, 1);
        WaitForSingleObject(m_setupProcess, 5000);
    }

    // The same version again: a failed setup is not handed over for a day.
    m_scene->SetEnvironment("VEMLI_SETUP_STANDIN", "new-client");
    Release("1,2,3,5");
    ASSERT_TRUE(m_scene->StartClient("Vemli", 1));
    EXPECT_EQ(m_scene->RunUpdater(kClientVersion), 0);
    EXPECT_EQ(LogHas(m_scene->ClientLog(1), "asked"), !failed);
    EXPECT_EQ(m_scene->WaitForSetupRecord(failed ? 3000 : 15000).empty(), failed);
    EXPECT_EQ(GuardFolders(), failed ? 0 : 1) << "the earlier guard's folder is cleared";

    // A newer version is handed over all the same.
    WriteClient();
    Release("1,2,3,6");
    EXPECT_EQ(m_scene->RunUpdater(kClientVersion), 0);
    EXPECT_FALSE(m_scene->WaitForSetupRecord().empty());
    EXPECT_TRUE(m_scene->HasNewClient());
    EXPECT_EQ(GuardFolders(), 1);
}

const GuardCase kGuardCases[] = {
    // label                    act   answer killed limit   new   restarted updater
    {"writes a new client", "new-client", 1, false, nullptr, true, false, "untouched"},
    {"exits 1 writing nothing", "fail", 1, false, nullptr, false, true, "untouched"},
    {"client had refused", "fail", 0, false, nullptr, false, false, "untouched"},
    {"crashes", "crash", 1, false, nullptr, false, true, "untouched"},
    {"killed from outside", "wait", 1, true, nullptr, false, true, "untouched"},
    {"deletes the client, exits 0", "delete-client", 1, false, nullptr, false, true, "untouched"},
    {"rewrites updater.exe first", "rewrite-updater", 1, false, nullptr, true, false, "rewritten"},
    {"runs past the limit", "wait", 1, false, "3000", false, true, "untouched"},
};

INSTANTIATE_TEST_SUITE_P(Cases, GuardMatrix, ::testing::ValuesIn(kGuardCases));

} // namespace
