// The version check against the test update server: the request the server
// sees, the events and their order, the last error texts, and the temporary
// document that must never stay behind.
#include "EngineFixture.h"
#include "ParseVersion.h"
#include "WinTestSupport.h"

#include <wininet.h>

#include <algorithm>

namespace {
const char kValidDocument[] = "[Version]\n"
                              "CurrentVersion=1,2,3,4\n"
                              "[DownloadUrls]\n"
                              "b=http://second.example/setup.exe\n"
                              "a=http://first.example/setup.exe\n"
                              "c=\n";

using CheckTest = EngineFixture;
} // namespace

TEST_F(CheckTest, ValidDocumentIsReadyWithItsVersionAndAddressesInKeyOrder) {
    m_downloadIndex = -1;
    ASSERT_TRUE(m_server.Route("/a/v.ini", kValidDocument));
    const std::string host = Host();
    ASSERT_TRUE(StartCheck(host, "/a/", "v.ini"));
    ASSERT_TRUE(WaitForEnd());

    EXPECT_EQ(Codes(), (std::vector<UINT>{UE_CHECK_STARTED, UE_VERSION_READY}));
    for (const SeenEvent& e : Events()) {
        EXPECT_EQ(e.wParam, 0u);
        EXPECT_EQ(e.lParam, 0);
        EXPECT_NE(e.thread, GetCurrentThreadId()) << "events come from the check thread";
    }
    EXPECT_STREQ(m_engine->GetCurrentVersion(), "1,2,3,4");
    EXPECT_EQ(updater::ParseVersion(m_engine->GetCurrentVersion()), 0x01020304u);
    ASSERT_EQ(m_engine->GetDownloadUrlCount(), 3u);
    EXPECT_STREQ(m_engine->GetDownloadUrl(0), "http://first.example/setup.exe");
    EXPECT_STREQ(m_engine->GetDownloadUrl(1), "http://second.example/setup.exe");
    EXPECT_EQ(m_engine->GetDownloadUrl(2), nullptr) << "entry without value";
    EXPECT_EQ(m_engine->GetDownloadUrl(3), nullptr);
    EXPECT_EQ(m_engine->GetDownloadUrl(-1), nullptr);
    EXPECT_EQ(m_engine->GetLastErrorText(), "");

    const std::vector<SeenRequest> seen = m_server.Requests();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].method, "GET");
    EXPECT_EQ(seen[0].host, host + ":80") << "the check always uses port 80";
    EXPECT_EQ(seen[0].path, "/a/v.ini");
    EXPECT_EQ(seen[0].version, "HTTP/1.0");
    EXPECT_EQ(seen[0].userAgent, "http");
    EXPECT_EQ(TempFiles(), std::vector<std::string>{});
}

TEST_F(CheckTest, EveryCheckReachesTheServerNeverACache) {
    m_downloadIndex = -1;
    ASSERT_TRUE(m_server.Route("/a/v.ini", kValidDocument));
    const std::string host = Host();
    ASSERT_TRUE(StartCheck(host, "/a/", "v.ini"));
    ASSERT_TRUE(WaitForEnd());
    m_engine->Stop();

    // A second engine asks for the same address: the reload flag sends it to
    // the server again instead of answering from a cached copy.
    ASSERT_TRUE(m_server.Route("/a/v.ini", "[Version]\nCurrentVersion=9,9,9,9\n"
                                           "[DownloadUrls]\na=http://x.example/s.exe\n"));
    m_engine = std::make_unique<CUpdateEngine>();
    ForgetEvents();
    ASSERT_TRUE(StartCheck(host, "/a/", "v.ini"));
    ASSERT_TRUE(WaitForEvent(UE_VERSION_READY));
    EXPECT_STREQ(m_engine->GetCurrentVersion(), "9,9,9,9");
    EXPECT_EQ(m_server.Requests().size(), 2u);
}

struct ObjectNameCase {
    const char* path;
    const char* file;
    const char* object;
};

void PrintTo(const ObjectNameCase& c, std::ostream* os) {
    *os << c.object;
}

class ObjectNameTest : public EngineFixture,
                       public ::testing::WithParamInterface<ObjectNameCase> {};

TEST_P(ObjectNameTest, PathAndFileAreJoinedWithNothingBetween) {
    m_downloadIndex = -1;
    const ObjectNameCase& c = GetParam();
    ASSERT_TRUE(m_server.Route(c.object, kValidDocument));
    ASSERT_TRUE(StartCheck(Host(), c.path, c.file));
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(Codes(), (std::vector<UINT>{UE_CHECK_STARTED, UE_VERSION_READY}));
    const std::vector<SeenRequest> seen = m_server.Requests();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].path, c.object);
}

INSTANTIATE_TEST_SUITE_P(Objects, ObjectNameTest,
                         ::testing::Values(ObjectNameCase{"/a/", "v.ini", "/a/v.ini"},
                                           ObjectNameCase{"/a", "v.ini", "/av.ini"},
                                           ObjectNameCase{"/", "update/v.ini", "/update/v.ini"}));

TEST_F(CheckTest, MissingDocumentIsEvent3NamingTheObject) {
    // Nothing routed: the server answers 404.
    ASSERT_TRUE(StartCheck(Host(), "/a/", "v.ini"));
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(Codes(), (std::vector<UINT>{UE_CHECK_STARTED, UE_VERSION_FILE_MISSING}));
    EXPECT_EQ(m_engine->GetLastErrorText(), Gbk(L"查找服务器文件 \"/a/v.ini\" 失败"));
    EXPECT_EQ(TempFiles(), std::vector<std::string>{});
}

TEST_F(CheckTest, NothingListeningIsEvent2WithTheSystemText) {
    // 127.0.0.2 bypasses the proxy (no_proxy) and nothing listens on its
    // port 80.
    ASSERT_TRUE(StartCheck("127.0.0.2", "/a/", "v.ini"));
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(Codes(), (std::vector<UINT>{UE_CHECK_STARTED, UE_SEND_FAILED}));
    EXPECT_EQ(m_engine->GetLastErrorText(), WinInetText(ERROR_INTERNET_CANNOT_CONNECT));
    EXPECT_TRUE(m_server.Requests().empty());
    EXPECT_EQ(TempFiles(), std::vector<std::string>{});
}

TEST_F(CheckTest, DocumentCutOffByACleanCloseIsALostConnection) {
    // The server announces the whole document and closes after 20 bytes:
    // WinINet reports a normal end, which must not pass for the document.
    ASSERT_TRUE(m_server.Route("/a/v.ini", kValidDocument, 200, "close_mid", 20));
    ASSERT_TRUE(StartCheck(Host(), "/a/", "v.ini"));
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(Codes(), (std::vector<UINT>{UE_CHECK_STARTED, UE_CONNECTION_LOST}));
    EXPECT_EQ(m_engine->GetLastErrorText(), Gbk(L"与更新服务器的连接中断"));
    EXPECT_STREQ(m_engine->GetCurrentVersion(), "");
    EXPECT_EQ(TempFiles(), std::vector<std::string>{});
}

TEST_F(CheckTest, DocumentCutOffByAResetIsALostConnection) {
    ASSERT_TRUE(m_server.Route("/a/v.ini", kValidDocument, 200, "reset_mid", 20));
    ASSERT_TRUE(StartCheck(Host(), "/a/", "v.ini"));
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(Codes(), (std::vector<UINT>{UE_CHECK_STARTED, UE_CONNECTION_LOST}));
    EXPECT_FALSE(m_engine->GetLastErrorText().empty());
    EXPECT_EQ(TempFiles(), std::vector<std::string>{});
}

TEST_F(CheckTest, DocumentWithoutContentLengthIsReadToItsEnd) {
    m_downloadIndex = -1;
    ASSERT_TRUE(m_server.Route("/a/v.ini", kValidDocument, 200, "nolength"));
    ASSERT_TRUE(StartCheck(Host(), "/a/", "v.ini"));
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(Codes(), (std::vector<UINT>{UE_CHECK_STARTED, UE_VERSION_READY}));
    EXPECT_EQ(m_engine->GetDownloadUrlCount(), 3u);
}

TEST_F(CheckTest, UnwritableTemporaryFolderIsEvent4) {
    const std::string missing = m_tempDir + "\\no such folder";
    SetEnvironmentVariableA("TMP", missing.c_str());
    SetEnvironmentVariableA("TEMP", missing.c_str());
    ASSERT_TRUE(m_server.Route("/a/v.ini", kValidDocument));
    ASSERT_TRUE(StartCheck(Host(), "/a/", "v.ini"));
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(Codes(), (std::vector<UINT>{UE_CHECK_STARTED, UE_LOCAL_FILE_FAILED}));
    EXPECT_EQ(m_server.Requests().size(), 1u) << "the request goes out before the file is made";
    EXPECT_EQ(TempFiles(), std::vector<std::string>{});
}

struct DocumentCase {
    const char* name;
    std::string text;
    UINT event;
    std::string version; // GetCurrentVersion after UE_VERSION_READY
};

void PrintTo(const DocumentCase& c, std::ostream* os) {
    *os << c.name;
}

class DocumentTest : public EngineFixture, public ::testing::WithParamInterface<DocumentCase> {};

TEST_P(DocumentTest, ValidityDecidesBetweenEvents5And6) {
    m_downloadIndex = -1;
    const DocumentCase& c = GetParam();
    ASSERT_TRUE(m_server.Route("/v.ini", c.text));
    ASSERT_TRUE(StartCheck(Host(), "/", "v.ini"));
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(Codes(), (std::vector<UINT>{UE_CHECK_STARTED, c.event}));
    if (c.event == UE_VERSION_READY) {
        EXPECT_EQ(m_engine->GetCurrentVersion(), c.version);
    }
    EXPECT_EQ(m_engine->GetLastErrorText(), "");
    EXPECT_EQ(TempFiles(), std::vector<std::string>{});
}

namespace {

std::string WithVersion(const std::string& value) {
    return "[Version]\nCurrentVersion=" + value + "\n[DownloadUrls]\nu=http://h.example/s.exe\n";
}

// A valid document padded with comment lines to `size` bytes.
std::string PaddedTo(std::size_t size) {
    std::string text = WithVersion("1,2,3,4");
    while (text.size() < size) {
        const std::size_t line = std::min<std::size_t>(64, size - text.size());
        text += line < 2 ? "\n" : "#" + std::string(line - 2, 'x') + "\n";
    }
    return text;
}

} // namespace

// 121 digits and ",2,3,4" make 127 bytes; one digit more makes 128.
INSTANTIATE_TEST_SUITE_P(
    Documents, DocumentTest,
    ::testing::Values(DocumentCase{"Valid", WithVersion("2,0,0,300"), UE_VERSION_READY,
                                   "2,0,0,300"},
                      DocumentCase{"Empty", "", UE_VERSION_INVALID, ""},
                      DocumentCase{"NoUrls", "[Version]\nCurrentVersion=1,2,3,4\n[DownloadUrls]\n",
                                   UE_VERSION_INVALID, ""},
                      DocumentCase{"VersionWithoutValue", WithVersion(""), UE_VERSION_READY, ""},
                      DocumentCase{"Version127Bytes", WithVersion(std::string(121, '1') + ",2,3,4"),
                                   UE_VERSION_READY, std::string(121, '1') + ",2,3,4"},
                      DocumentCase{"Version128Bytes", WithVersion(std::string(122, '1') + ",2,3,4"),
                                   UE_VERSION_INVALID, ""},
                      DocumentCase{"Of64KiB", PaddedTo(65536), UE_VERSION_READY, "1,2,3,4"},
                      DocumentCase{"Over64KiB", PaddedTo(65537), UE_VERSION_INVALID, ""}),
    [](const ::testing::TestParamInfo<DocumentCase>& info) { return info.param.name; });

// Without a length the limit holds as well: the read stops past it.
TEST_F(CheckTest, EndlessDocumentIsInvalidAndNotKept) {
    m_downloadIndex = -1;
    ASSERT_TRUE(m_server.Route("/v.ini", WithVersion("1,2,3,4"), 200, "endless"));
    ASSERT_TRUE(StartCheck(Host(), "/", "v.ini"));
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(Codes(), (std::vector<UINT>{UE_CHECK_STARTED, UE_VERSION_INVALID}));
    EXPECT_EQ(m_engine->GetDownloadUrlCount(), 0u);
    EXPECT_EQ(TempFiles(), std::vector<std::string>{});
}

TEST_F(CheckTest, HandlerOnTheCheckThreadDrawsFromTheSeededGenerator) {
    // rand() keeps its state per thread: unless the check thread is seeded,
    // the owner's pick of an address would be the same on every run.
    std::srand(1);
    const int unseeded[2] = {std::rand(), std::rand()};
    m_downloadIndex = -1;
    ASSERT_TRUE(m_server.Route("/a/v.ini", kValidDocument));
    ASSERT_TRUE(StartCheck(Host(), "/a/", "v.ini"));
    ASSERT_TRUE(WaitForEnd());
    EXPECT_FALSE(m_randAtReady[0] == unseeded[0] && m_randAtReady[1] == unseeded[1]);
}

TEST_F(CheckTest, StopDuringAHangingCheckRaisesNothingMoreAndLeavesNoTemporaryFile) {
    m_downloadIndex = -1;
    // Ten bytes of the document, then the server hangs for 6 s.
    ASSERT_TRUE(m_server.Route("/a/v.ini", kValidDocument, 200, "stall", 10, 6));
    ASSERT_TRUE(StartCheck(Host(), "/a/", "v.ini"));
    WaitUntil([&] { return !m_server.Requests().empty(); }, 5000);
    ASSERT_EQ(m_server.Requests().size(), 1u);
    // Meanwhile the document waits in a temporary file named after "Dresol"
    // (the system keeps three letters of the prefix).
    const std::vector<std::string> during = TempFiles();
    ASSERT_EQ(during.size(), 1u);
    EXPECT_EQ(during[0].substr(0, 3), "Dre");
    EXPECT_EQ(during[0].substr(during[0].size() - 4), ".tmp");
    m_engine->Stop();
    const std::vector<UINT> atStop = Codes();
    EXPECT_EQ(atStop, std::vector<UINT>{UE_CHECK_STARTED});
    WaitUntil([&] { return TempFiles().empty(); }, 15000, 100);
    EXPECT_EQ(TempFiles(), std::vector<std::string>{});
    EXPECT_EQ(Codes(), atStop) << "no event after Stop";
}
