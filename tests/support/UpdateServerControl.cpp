#include "UpdateServerControl.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

CUpdateServerControl::CUpdateServerControl() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    const char* address = std::getenv("VEMLI_UPDATE_SERVER");
    if (address == nullptr)
        return;
    const char* colon = std::strrchr(address, ':');
    if (colon != nullptr)
        m_port = static_cast<unsigned short>(std::atoi(colon + 1));
}

CUpdateServerControl::~CUpdateServerControl() {
    WSACleanup();
}

bool CUpdateServerControl::Exchange(const std::string& method, const std::string& target,
                                    const std::string& body, std::string& response) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return false;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(m_port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
    if (ok) {
        std::string request = method + " " + target + " HTTP/1.0\r\nHost: control\r\n" +
                              "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
        size_t sent = 0;
        while (ok && sent < request.size()) {
            int n = send(s, request.data() + sent, int(request.size() - sent), 0);
            ok = n > 0;
            sent += ok ? size_t(n) : 0;
        }
    }
    response.clear();
    char buffer[4096];
    int n;
    while (ok && (n = recv(s, buffer, sizeof buffer, 0)) > 0)
        response.append(buffer, size_t(n));
    closesocket(s);
    if (!ok || response.compare(0, 12, "HTTP/1.0 200") != 0)
        return false;
    size_t headerEnd = response.find("\r\n\r\n");
    response.erase(0, headerEnd == std::string::npos ? response.size() : headerEnd + 4);
    return true;
}

namespace {
std::string Query(const std::string& path, int status, const std::string& mode, long long cut,
                  double stall) {
    char numbers[128];
    std::snprintf(numbers, sizeof numbers, "&status=%d&cut=%lld&stall=%g", status, cut, stall);
    return "/_control/route?path=" + path + "&mode=" + mode + numbers;
}
} // namespace

bool CUpdateServerControl::Route(const std::string& path, const std::string& body, int status,
                                 const std::string& mode, long long cut, double stall) {
    std::string response;
    return Exchange("PUT", Query(path, status, mode, cut, stall), body, response);
}

bool CUpdateServerControl::RouteGenerated(const std::string& path, long long size, int status,
                                          const std::string& mode, long long cut, double stall) {
    std::string response;
    return Exchange("PUT", Query(path, status, mode, cut, stall) + "&size=" + std::to_string(size),
                    "", response);
}

bool CUpdateServerControl::Release(const std::string& documentPath, const std::string& setupPath,
                                   const std::string& url, const std::string& version,
                                   const std::string& variant, const std::string& setup,
                                   const std::string& setupOptions) {
    // Addresses and versions hold no '&', '#' or blank: no escaping needed.
    std::string urls;
    for (std::size_t begin = 0; begin < url.size();) {
        const std::size_t end = std::min(url.find(' ', begin), url.size());
        urls += "&url=" + url.substr(begin, end - begin);
        begin = end + 1;
    }
    std::string response;
    return Exchange("PUT",
                    "/_control/release?path=" + documentPath + "&setup=" + setupPath + urls +
                        "&version=" + version + "&variant=" + variant + setupOptions,
                    setup, response);
}

long long CUpdateServerControl::Sent(const std::string& path) {
    std::string response;
    if (!Exchange("GET", "/_control/sent?path=" + path, "", response)) {
        return -1;
    }
    return std::atoll(response.c_str());
}

std::string CUpdateServerControl::SetupKey() {
    std::string key;
    return Exchange("GET", "/_control/setup_key", "", key) ? key : std::string();
}

std::string CUpdateServerControl::TlsAuthority() {
    std::string pem;
    return Exchange("GET", "/_control/tls_authority", "", pem) ? pem : std::string();
}

std::vector<SeenRequest> CUpdateServerControl::Requests() {
    std::vector<SeenRequest> seen;
    std::string text;
    if (!Exchange("GET", "/_control/requests", "", text))
        return seen;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> fields;
        size_t start = 0;
        for (;;) {
            size_t tab = line.find('\t', start);
            fields.push_back(line.substr(start, tab - start));
            if (tab == std::string::npos)
                break;
            start = tab + 1;
        }
        fields.resize(9);
        seen.push_back({fields[0], fields[1], fields[2], fields[3], fields[4], fields[5], fields[6],
                        fields[7], fields[8]});
    }
    return seen;
}

std::string CUpdateServerControl::Payload(std::size_t size) {
    std::string data(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        data[i] = char((i * 31 + 7) % 251);
    return data;
}
