#include "CControlClient.h"

#include <windows.h>
#include <wininet.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>

namespace {

struct InternetCloser {
    void operator()(void* handle) const { InternetCloseHandle(static_cast<HINTERNET>(handle)); }
};
using InternetHandle = std::unique_ptr<void, InternetCloser>;

} // namespace

CControlClient::CControlClient() {
    const char* address = std::getenv("VEMLI_UPDATE_SERVER");
    if (address == nullptr) {
        return;
    }
    const char* colon = std::strrchr(address, ':');
    if (colon != nullptr) {
        m_port = static_cast<unsigned short>(std::atoi(colon + 1));
    }
}

bool CControlClient::Exchange(const char* verb, const std::string& target, const std::string& body,
                              std::string& answer) {
    // Direct, never through http_proxy: the control interface takes plain requests.
    InternetHandle session(
        InternetOpenA("e2e-control", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!session) {
        return false;
    }
    InternetHandle connection(InternetConnectA(static_cast<HINTERNET>(session.get()), "127.0.0.1",
                                               m_port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0,
                                               0));
    if (!connection) {
        return false;
    }
    InternetHandle request(
        HttpOpenRequestA(static_cast<HINTERNET>(connection.get()), verb, target.c_str(), "HTTP/1.0",
                         nullptr, nullptr, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
    if (!request) {
        return false;
    }
    if (!HttpSendRequestA(static_cast<HINTERNET>(request.get()), nullptr, 0,
                          const_cast<char*>(body.data()), static_cast<DWORD>(body.size()))) {
        return false;
    }
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!HttpQueryInfoA(static_cast<HINTERNET>(request.get()),
                        HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) ||
        status != 200) {
        return false;
    }
    answer.clear();
    char block[4096];
    DWORD read = 0;
    while (InternetReadFile(static_cast<HINTERNET>(request.get()), block, sizeof block, &read) &&
           read > 0) {
        answer.append(block, read);
    }
    return true;
}

bool CControlClient::Route(const std::string& path, const std::string& body, int status,
                           const std::string& mode, int stallSeconds) {
    // Our paths are plain letters, digits, '/', '-', '_' and '.': no escaping needed.
    std::ostringstream target;
    target << "/_control/route?path=" << path << "&status=" << status << "&mode=" << mode
           << "&stall=" << stallSeconds;
    std::string answer;
    return Exchange("PUT", target.str(), body, answer);
}

bool CControlClient::Release(const std::string& documentPath, const std::string& setupPath,
                             const std::string& url, const std::string& version,
                             const std::string& variant, const std::string& setup) {
    // Addresses and versions hold no '&', '#' or blank: no escaping needed.
    const std::string target = "/_control/release?path=" + documentPath + "&setup=" + setupPath +
                               "&url=" + url + "&version=" + version + "&variant=" + variant;
    std::string answer;
    return Exchange("PUT", target, setup, answer);
}

std::string CControlClient::SetupKey() {
    std::string answer;
    return Exchange("GET", "/_control/setup_key", "", answer) ? answer : std::string();
}

std::vector<SeenRequest> CControlClient::Requests() {
    std::vector<SeenRequest> seen;
    std::string answer;
    if (!Exchange("GET", "/_control/requests", "", answer)) {
        return seen;
    }
    std::istringstream lines(answer);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        SeenRequest request;
        std::getline(fields, request.method, '\t');
        std::getline(fields, request.host, '\t');
        std::getline(fields, request.path, '\t');
        seen.push_back(request);
    }
    return seen;
}
