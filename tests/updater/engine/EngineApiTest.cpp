// The engine's set-up calls: what SetServer keeps, when SetCallback refuses,
// and that an engine that is not ready never reaches the network.
#include "EngineFixture.h"
#include "WinTestSupport.h"

namespace {
using EngineApiTest = EngineFixture;
const char kDocument[] = "[Version]\nCurrentVersion=1,2,3,4\n[DownloadUrls]\nu=http://h/s\n";

LONG CALLBACK Ignore(UINT, WPARAM, LPARAM, DWORD) {
    return 0;
}
} // namespace

TEST_F(EngineApiTest, NotReadyWhenAnyServerTextIsEmpty) {
    const char* cases[][3] = {
        {"", "/a/", "v.ini"}, {"h", "", "v.ini"}, {"h", "/a/", ""}, {nullptr, "/a/", "v.ini"}};
    for (auto& c : cases) {
        CUpdateEngine engine;
        engine.SetServer(c[0], c[1], c[2]);
        EXPECT_FALSE(engine.SetCallback(&Ignore, 0));
        EXPECT_FALSE(engine.IsReady());
        EXPECT_FALSE(engine.StartCheck());
        engine.Stop();
    }
    EXPECT_TRUE(m_server.Requests().empty());
}

TEST_F(EngineApiTest, SetCallbackIsRefusedForNullAndASecondTime) {
    CUpdateEngine engine;
    engine.SetServer("h", "/a/", "v.ini");
    EXPECT_FALSE(engine.SetCallback(nullptr, 0));
    EXPECT_FALSE(engine.IsReady()) << "a refused registration computes nothing";
    EXPECT_TRUE(engine.SetCallback(&Ignore, 7));
    EXPECT_FALSE(engine.SetCallback(&Ignore, 8));
    EXPECT_TRUE(engine.IsReady());
    engine.Stop();
}

TEST_F(EngineApiTest, ReadinessIsDecidedWhenTheCallbackIsRegistered) {
    CUpdateEngine engine;
    EXPECT_FALSE(engine.SetCallback(&Ignore, 0));
    engine.SetServer("h", "/a/", "v.ini");
    EXPECT_FALSE(engine.StartCheck()) << "texts set after registration do not make it ready";
    engine.Stop();
}

struct ServerTextCase {
    const char* name;
    std::string firstPath, secondPath, requested;
};

void PrintTo(const ServerTextCase& c, std::ostream* os) {
    *os << c.name;
}

class ServerTextTest : public EngineFixture,
                       public ::testing::WithParamInterface<ServerTextCase> {};

// A second SetServer with the file "w.ini" and the case's path: the path is
// taken when it fits in 255 bytes and ignored when longer.
TEST_P(ServerTextTest, TextsUpTo255BytesAreTakenLongerOnesLeaveTheOldValue) {
    const ServerTextCase& c = GetParam();
    ASSERT_TRUE(m_server.Route(c.requested, kDocument));
    const std::string host = Host();
    m_engine->SetServer(host.c_str(), c.firstPath.c_str(), "v.ini");
    m_engine->SetServer(host.c_str(), c.secondPath.c_str(), "w.ini");
    ASSERT_TRUE(m_engine->SetCallback(&Ignore, 0));
    ASSERT_TRUE(m_engine->StartCheck());
    WaitUntil([&] { return !m_server.Requests().empty(); }, 10000);
    const std::vector<SeenRequest> seen = m_server.Requests();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].path, c.requested);
}

namespace {

const std::string kPath255 = "/" + std::string(253, 'p') + "/";
const std::string kPath256 = "/" + std::string(254, 'q') + "/";

} // namespace

INSTANTIATE_TEST_SUITE_P(
    Limits, ServerTextTest,
    ::testing::Values(ServerTextCase{"Fits255", "/a/", kPath255, kPath255 + "w.ini"},
                      ServerTextCase{"Refused256", "/a/", kPath256, "/a/w.ini"},
                      ServerTextCase{"Refused300", "/a/", "/" + std::string(299, 'x'), "/a/w.ini"}),
    [](const ::testing::TestParamInfo<ServerTextCase>& info) { return info.param.name; });

TEST_F(EngineApiTest, StopWithoutStartAndTwiceIsHarmless) {
    m_engine->Stop();
    m_engine->Stop();
    EXPECT_FALSE(m_engine->StartDownload("http://h/s"));
    EXPECT_TRUE(Codes().empty());
}
