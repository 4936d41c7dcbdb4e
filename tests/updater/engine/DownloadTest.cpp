// The setup download against the test update server: events and their
// values, the file "VemliSetup.exe" (replaced, untouched or absent as each
// outcome demands), the last error texts, and Stop with a download that hangs.
#include "EngineFixture.h"
#include "WinTestSupport.h"

#include <algorithm>

namespace {

class DownloadTest : public EngineFixture {
protected:
    // Serves a version document whose one address is `address`, or the
    // server's "/setup.exe" under a fresh host when empty, and starts the check.
    void StartWith(const std::string& address = "") {
        m_address = address.empty() ? "http://" + Host("dl") + "/setup.exe" : address;
        ASSERT_TRUE(m_server.Route("/v.ini", "[Version]\nCurrentVersion=1,2,3,4\n"
                                             "[DownloadUrls]\nsetup=" +
                                                 m_address + "\n"));
        ASSERT_TRUE(StartCheck(Host(), "/", "v.ini"));
    }

    // The codes after UE_VERSION_READY, which belong to the download.
    std::vector<UINT> DownloadCodes() {
        std::vector<UINT> codes = Codes();
        auto ready = std::find(codes.begin(), codes.end(), UINT(UE_VERSION_READY));
        return ready == codes.end() ? std::vector<UINT>{}
                                    : std::vector<UINT>(ready + 1, codes.end());
    }

    std::vector<SeenEvent> Progress() {
        std::vector<SeenEvent> progress;
        for (const SeenEvent& e : Events())
            if (e.code == UE_DOWNLOAD_PROGRESS)
                progress.push_back(e);
        return progress;
    }

    // Codes 7, 10, `blocks` times 11, then `last`.
    static std::vector<UINT> Expected(size_t blocks, UINT last) {
        std::vector<UINT> codes{UE_DOWNLOAD_STARTED, UE_DOWNLOAD_RECEIVING};
        codes.insert(codes.end(), blocks, UE_DOWNLOAD_PROGRESS);
        codes.push_back(last);
        return codes;
    }

    std::string m_address;
};

} // namespace

TEST_F(DownloadTest, WholeSetupArrivesInBlocksWithProgressAndItsPath) {
    const size_t size = 3000;
    ASSERT_TRUE(m_server.RouteGenerated("/setup.exe", size));
    StartWith();
    ASSERT_TRUE(WaitForEnd());

    EXPECT_EQ(DownloadCodes(), Expected(3, UE_DOWNLOAD_DONE));
    const std::vector<SeenEvent> progress = Progress();
    ASSERT_EQ(progress.size(), 3u);
    const WPARAM sums[] = {1024, 2048, 3000};
    for (size_t i = 0; i < progress.size(); ++i) {
        EXPECT_EQ(progress[i].wParam, sums[i]);
        EXPECT_EQ(progress[i].lParam, LPARAM(size)) << "total from Content-Length";
    }
    const SeenEvent done = Events().back();
    EXPECT_EQ(done.path, SetupPath());
    EXPECT_EQ(done.lParam, 0);
    EXPECT_EQ(done.path.find("\\\\"), std::string::npos);
    EXPECT_NE(done.thread, Events().front().thread) << "the download runs on its own thread";

    std::string data;
    ASSERT_TRUE(ReadFile(SetupPath(), data));
    EXPECT_TRUE(data == CUpdateServerControl::Payload(size));
    EXPECT_EQ(TempFiles(), std::vector<std::string>{"VemliSetup.exe"});

    const std::vector<SeenRequest> seen = m_server.Requests();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].path, "/setup.exe");
    EXPECT_EQ(seen[1].userAgent, "http");
}

TEST_F(DownloadTest, ExistingSetupIsReplaced) {
    ASSERT_TRUE(WriteFile(SetupPath(), std::string(5000, 'o')));
    ASSERT_TRUE(m_server.RouteGenerated("/setup.exe", 1500));
    StartWith();
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(DownloadCodes(), Expected(2, UE_DOWNLOAD_DONE));
    std::string data;
    ASSERT_TRUE(ReadFile(SetupPath(), data));
    EXPECT_TRUE(data == CUpdateServerControl::Payload(1500));
}

TEST_F(DownloadTest, MissingSetupIsEvent9AndLeavesAnOldFileUntouched) {
    const std::string old = "previous setup";
    ASSERT_TRUE(WriteFile(SetupPath(), old));
    StartWith(); // nothing routed at /setup.exe: 404
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(DownloadCodes(), (std::vector<UINT>{UE_DOWNLOAD_STARTED, UE_SETUP_MISSING}));
    std::string data;
    ASSERT_TRUE(ReadFile(SetupPath(), data));
    EXPECT_EQ(data, old);
}

TEST_F(DownloadTest, MissingSetupCreatesNoFile) {
    ASSERT_TRUE(m_server.RouteGenerated("/setup.exe", 100, 403));
    StartWith();
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(DownloadCodes(), (std::vector<UINT>{UE_DOWNLOAD_STARTED, UE_SETUP_MISSING}));
    EXPECT_EQ(TempFiles(), std::vector<std::string>{});
}

TEST_F(DownloadTest, CleanCloseBeforeTheAnnouncedLengthIsALostConnection) {
    // WinINet ends such a body like a complete one; running a cut-off setup
    // would replace the client with a broken one.
    ASSERT_TRUE(WriteFile(SetupPath(), "previous setup"));
    ASSERT_TRUE(m_server.RouteGenerated("/setup.exe", 10000, 200, "close_mid", 4000));
    StartWith();
    ASSERT_TRUE(WaitForEnd());
    const std::vector<UINT> codes = DownloadCodes();
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.back(), UINT(UE_CONNECTION_LOST));
    EXPECT_EQ(std::count(codes.begin(), codes.end(), UINT(UE_DOWNLOAD_DONE)), 0);
    const std::vector<SeenEvent> progress = Progress();
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back().wParam, 4000u);
    EXPECT_EQ(progress.back().lParam, 10000);
    EXPECT_EQ(m_engine->GetLastErrorText(), Gbk(L"与更新服务器的连接中断"));
    EXPECT_FALSE(Exists(SetupPath())) << "no partial setup stays behind";
}

TEST_F(DownloadTest, ResetMidBodyIsALostConnectionWithTheSystemText) {
    ASSERT_TRUE(m_server.RouteGenerated("/setup.exe", 100000, 200, "reset_mid", 30000));
    StartWith();
    ASSERT_TRUE(WaitForEnd());
    const std::vector<UINT> codes = DownloadCodes();
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.back(), UINT(UE_CONNECTION_LOST));
    EXPECT_FALSE(m_engine->GetLastErrorText().empty());
    EXPECT_FALSE(Exists(SetupPath()));
    EXPECT_EQ(TempFiles(), std::vector<std::string>{});
}

TEST_F(DownloadTest, WithoutContentLengthTheTotalIsTheLengthAvailable) {
    const size_t size = 20000;
    ASSERT_TRUE(m_server.RouteGenerated("/setup.exe", size, 200, "nolength"));
    StartWith();
    ASSERT_TRUE(WaitForEnd());
    const std::vector<SeenEvent> progress = Progress();
    ASSERT_EQ(progress.size(), (size + 1023) / 1024);
    EXPECT_EQ(progress.back().wParam, size);
    const LPARAM total = progress.front().lParam;
    EXPECT_GT(total, 0);
    EXPECT_LE(total, LPARAM(size));
    for (const SeenEvent& e : progress)
        EXPECT_EQ(e.lParam, total) << "the total is taken once, before the transfer";
    EXPECT_EQ(Events().back().code, UINT(UE_DOWNLOAD_DONE));
    std::string data;
    ASSERT_TRUE(ReadFile(SetupPath(), data));
    EXPECT_TRUE(data == CUpdateServerControl::Payload(size));
}

TEST_F(DownloadTest, EmptyBodyGivesAnEmptySetupWithoutProgress) {
    ASSERT_TRUE(m_server.RouteGenerated("/setup.exe", 0));
    StartWith();
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(DownloadCodes(), Expected(0, UE_DOWNLOAD_DONE));
    std::string data = "x";
    ASSERT_TRUE(ReadFile(SetupPath(), data));
    EXPECT_TRUE(data.empty());
}

TEST_F(DownloadTest, AddressOf511BytesIsOpened) {
    const std::string prefix = "http://" + Host("dl") + "/";
    const std::string address = prefix + std::string(511 - prefix.size(), 'a');
    ASSERT_EQ(address.size(), 511u);
    ASSERT_TRUE(m_server.RouteGenerated(address.substr(address.find('/', 7)), 10));
    m_downloadOverride = address;
    StartWith();
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(DownloadCodes(), Expected(1, UE_DOWNLOAD_DONE));
}

TEST_F(DownloadTest, AddressOf512BytesIsRefusedWithEvent8) {
    const std::string prefix = "http://" + Host("dl") + "/";
    const std::string address = prefix + std::string(512 - prefix.size(), 'a');
    ASSERT_TRUE(m_server.RouteGenerated(address.substr(address.find('/', 7)), 10));
    m_downloadOverride = address;
    StartWith();
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(DownloadCodes(),
              (std::vector<UINT>{UE_DOWNLOAD_STARTED, UE_DOWNLOAD_CONNECT_FAILED}));
    EXPECT_EQ(m_server.Requests().size(), 1u) << "only the version document was asked for";
}

TEST_F(DownloadTest, AddressesThatCannotBeOpenedAreEvent8) {
    const char* addresses[] = {"not an address", "http://127.0.0.2:1/setup.exe",
                               "http:///setup.exe"};
    for (const char* address : addresses) {
        SCOPED_TRACE(address);
        ASSERT_TRUE(WriteFile(SetupPath(), "old"));
        m_engine = std::make_unique<CUpdateEngine>();
        ForgetEvents();
        m_downloadOverride = address;
        StartWith();
        ASSERT_TRUE(WaitForEnd());
        EXPECT_EQ(DownloadCodes(),
                  (std::vector<UINT>{UE_DOWNLOAD_STARTED, UE_DOWNLOAD_CONNECT_FAILED}));
        std::string data;
        ASSERT_TRUE(ReadFile(SetupPath(), data));
        EXPECT_EQ(data, "old");
        m_engine->Stop();
    }
}

TEST_F(DownloadTest, LocalFileAddressTakesTheFileLengthAsTotal) {
    const std::string source = m_tempDir + "\\source.bin";
    ASSERT_TRUE(WriteFile(source, CUpdateServerControl::Payload(2500)));
    std::string address = "file:///" + source;
    std::replace(address.begin(), address.end(), '\\', '/');
    m_downloadOverride = address;
    StartWith();
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(DownloadCodes(), Expected(3, UE_DOWNLOAD_DONE));
    for (const SeenEvent& e : Progress())
        EXPECT_EQ(e.lParam, 2500);
    std::string data;
    ASSERT_TRUE(ReadFile(SetupPath(), data));
    EXPECT_TRUE(data == CUpdateServerControl::Payload(2500));
}

TEST_F(DownloadTest, TemporaryFolderTooLongForThePathIsEvent4) {
    ASSERT_TRUE(m_server.RouteGenerated("/setup.exe", 100));
    m_downloadIndex = -1;
    StartWith();
    ASSERT_TRUE(WaitForEnd());
    // 245 + '\' + "VemliSetup.exe" needs 261 bytes with the terminator.
    const std::string longFolder = "C:\\" + std::string(242, 'L');
    ASSERT_EQ(longFolder.size(), 245u);
    SetEnvironmentVariableA("TMP", longFolder.c_str());
    SetEnvironmentVariableA("TEMP", longFolder.c_str());
    ForgetEvents();
    ASSERT_TRUE(m_engine->StartDownload(m_engine->GetDownloadUrl(0)));
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(Codes(), (std::vector<UINT>{UE_DOWNLOAD_STARTED, UE_LOCAL_FILE_FAILED}));
    EXPECT_EQ(TempFiles(), std::vector<std::string>{});
}

TEST_F(DownloadTest, TemporaryFolderEndingInABackslashGetsNoSecondOne) {
    const std::string withSlash = m_tempDir + "\\";
    SetEnvironmentVariableA("TMP", withSlash.c_str());
    SetEnvironmentVariableA("TEMP", withSlash.c_str());
    ASSERT_TRUE(m_server.RouteGenerated("/setup.exe", 10));
    StartWith();
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(Events().back().path, SetupPath());
}

TEST_F(DownloadTest, SecondDownloadIsRefused) {
    ASSERT_TRUE(m_server.RouteGenerated("/setup.exe", 10));
    StartWith();
    ASSERT_TRUE(WaitForEnd());
    EXPECT_FALSE(m_engine->StartDownload(m_address.c_str()));
}

TEST_F(DownloadTest, StopCutsOffAHangingDownloadAndLeavesNoPartialFile) {
    // 50,000 bytes, then the server hangs for 8 s.
    ASSERT_TRUE(m_server.RouteGenerated("/setup.exe", 200000, 200, "stall", 50000, 8));
    StartWith();
    ASSERT_TRUE(WaitForEvent(UE_DOWNLOAD_PROGRESS));
    m_engine->Stop();
    const size_t atStop = Events().size();
    EXPECT_EQ(m_engine->GetLastErrorText(), "");
    // The cut-off thread ends when the server wakes up again; it must raise
    // nothing more and take its partial file with it.
    WaitUntil([&] { return !Exists(SetupPath()); }, 20000, 100);
    EXPECT_FALSE(Exists(SetupPath()));
    EXPECT_EQ(Events().size(), atStop);
    const std::vector<UINT> codes = Codes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), UINT(UE_DOWNLOAD_DONE)), 0);
}

TEST_F(DownloadTest, ProgramEndsWithCodeZeroAfterStopOnAHangingDownload) {
    ASSERT_TRUE(m_server.RouteGenerated("/setup.exe", 200000, 200, "stall", 50000, 20));
    // The child process downloads into the parent's folder, so that it can
    // be inspected after the child has ended. The child runs this test body
    // again from the start: it must take the folder it inherited.
    char inherited[MAX_PATH] = "";
    GetEnvironmentVariableA("ENGINE_TEST_CHILD_TMP", inherited, MAX_PATH);
    const std::string folder = inherited[0] ? inherited : m_tempDir + "\\child";
    if (!inherited[0]) {
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
        SetEnvironmentVariableA("ENGINE_TEST_CHILD_TMP", folder.c_str());
    }
    EXPECT_EXIT(
        {
            char dir[MAX_PATH] = "";
            GetEnvironmentVariableA("ENGINE_TEST_CHILD_TMP", dir, MAX_PATH);
            SetEnvironmentVariableA("TMP", dir);
            SetEnvironmentVariableA("TEMP", dir);
            StartWith();
            if (!WaitForEvent(UE_DOWNLOAD_PROGRESS))
                std::exit(3);
            if (!Exists(std::string(dir) + "\\VemliSetup.exe"))
                std::exit(4); // the partial file is where the parent looks
            m_engine->Stop();
            RemoveDirectoryA(m_tempDir.c_str()); // the child's own, unused
            // As in the updater, the engine is destroyed while the process
            // ends, with the cut-off download thread still blocked in a read.
            static std::unique_ptr<CUpdateEngine> keep;
            keep = std::move(m_engine);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    SetEnvironmentVariableA("ENGINE_TEST_CHILD_TMP", nullptr);
    const std::string partial = folder + "\\VemliSetup.exe";
    WaitUntil([&] { return !Exists(partial); }, 5000, 100);
    EXPECT_FALSE(Exists(partial)) << "the partial setup went away with the process";
    RemoveDirectoryA(folder.c_str());
}
