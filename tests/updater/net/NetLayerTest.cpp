// The thin WinINet layer: service types of addresses, error texts, handles.
#include "AfxParseURL.h"
#include "InternetException.h"
#include "InternetSession.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct UrlCase {
    const char* url;
    bool parsed;
    DWORD service;
    const char* server;
    const char* object;
    INTERNET_PORT port;
};

void PrintTo(const UrlCase& c, std::ostream* os) {
    *os << (c.url ? c.url : "(null)");
}

class ParseUrlTest : public ::testing::TestWithParam<UrlCase> {};

TEST_P(ParseUrlTest, GivesServiceServerObjectAndPort) {
    const UrlCase& c = GetParam();
    DWORD service = 0;
    std::string server, object;
    INTERNET_PORT port = 0;
    ASSERT_EQ(AfxParseURL(c.url, service, server, object, port), c.parsed);
    if (!c.parsed)
        return;
    EXPECT_EQ(service, c.service);
    EXPECT_EQ(server, c.server);
    EXPECT_EQ(object, c.object);
    EXPECT_EQ(port, c.port);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseUrlTest,
    ::testing::Values(UrlCase{"http://up.example/setup/VemliSetup.exe", true, AFX_INET_SERVICE_HTTP,
                              "up.example", "/setup/VemliSetup.exe", 80},
                      UrlCase{"HTTP://UP.example:8080/s.exe", true, AFX_INET_SERVICE_HTTP,
                              "UP.example", "/s.exe", 8080},
                      UrlCase{"https://secure.example/s.exe", true, AFX_INET_SERVICE_HTTPS,
                              "secure.example", "/s.exe", 443},
                      UrlCase{"ftp://files.example/pub/s.exe", true, AFX_INET_SERVICE_FTP,
                              "files.example", "/pub/s.exe", 21},
                      UrlCase{"not an address", false, 0, "", "", 0},
                      UrlCase{"", false, 0, "", "", 0}, UrlCase{nullptr, false, 0, "", "", 0},
                      UrlCase{"http:///s.exe", false, 0, "", "", 0}));

TEST(ParseUrl, FileAddressIsTheFileService) {
    DWORD service = 0;
    std::string server, object;
    INTERNET_PORT port = 0;
    ASSERT_TRUE(AfxParseURL("file:///C:/temp/s.exe", service, server, object, port));
    EXPECT_EQ(service, DWORD(AFX_INET_SERVICE_FILE));
}

TEST(InternetException, MessageIsTheSystemTextWithoutLineEnd) {
    // Load WinINet's message table the way the engine has it loaded.
    CInternetSession session("test", 1, INTERNET_OPEN_TYPE_DIRECT);
    CInternetException e(ERROR_INTERNET_CANNOT_CONNECT);
    char text[1024];
    ASSERT_TRUE(e.GetErrorMessage(text, sizeof text));
    char expected[1024] = "";
    ASSERT_GT(FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS,
                             GetModuleHandleA("wininet.dll"), ERROR_INTERNET_CANNOT_CONNECT, 0,
                             expected, sizeof expected, nullptr),
              0u);
    std::string want = expected;
    while (!want.empty() && (want.back() == '\n' || want.back() == '\r'))
        want.pop_back();
    EXPECT_EQ(std::string(text), want);
    EXPECT_EQ(e.GetErrorCode(), DWORD(ERROR_INTERNET_CANNOT_CONNECT));
}

TEST(InternetException, LongMessageIsCutToTheBuffer) {
    CInternetSession session("test", 1, INTERNET_OPEN_TYPE_DIRECT);
    CInternetException e(ERROR_INTERNET_CANNOT_CONNECT);
    char text[8];
    ASSERT_TRUE(e.GetErrorMessage(text, sizeof text));
    EXPECT_EQ(std::strlen(text), 7u);
}

TEST(InternetException, UnknownErrorHasNoText) {
    CInternetException e(0x2FFFFFFF);
    char text[64] = "stale";
    EXPECT_FALSE(e.GetErrorMessage(text, sizeof text));
    EXPECT_STREQ(text, "");
}

TEST(InternetSession, ClosedSessionRefusesWithAnException) {
    CInternetSession session("test", 1, INTERNET_OPEN_TYPE_DIRECT);
    ASSERT_NE(session.GetHandle(), nullptr);
    session.Close();
    session.Close();
    EXPECT_EQ(session.GetHandle(), nullptr);
    EXPECT_THROW(session.GetHttpConnection("h"), CInternetException);
    EXPECT_THROW(session.OpenURL("http://h/x"), CInternetException);
}

TEST(InternetSession, MissingLocalFileIsAnException) {
    CInternetSession session("test", 1, INTERNET_OPEN_TYPE_DIRECT);
    try {
        session.OpenURL("file:///C:/no/such/folder/setup.exe");
        FAIL() << "opened a file that does not exist";
    } catch (const CInternetException& e) {
        EXPECT_NE(e.GetErrorCode(), 0u);
    }
}

} // namespace
