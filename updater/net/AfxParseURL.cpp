#include "AfxParseURL.h"

#include <vector>

bool AfxParseURL(const char* pszURL, DWORD& dwServiceType, std::string& strServer,
                 std::string& strObject, INTERNET_PORT& nPort) {
    dwServiceType = AFX_INET_SERVICE_UNK;
    if (pszURL == nullptr || pszURL[0] == '\0')
        return false;
    const size_t nLength = strlen(pszURL);
    std::vector<char> host(nLength + 1), path(nLength + 1);
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof parts;
    parts.lpszHostName = host.data();
    parts.dwHostNameLength = DWORD(host.size());
    parts.lpszUrlPath = path.data();
    parts.dwUrlPathLength = DWORD(path.size());
    if (!InternetCrackUrlA(pszURL, DWORD(nLength), 0, &parts))
        return false;
    switch (parts.nScheme) {
    case INTERNET_SCHEME_HTTP:
        dwServiceType = AFX_INET_SERVICE_HTTP;
        break;
    case INTERNET_SCHEME_HTTPS:
        dwServiceType = AFX_INET_SERVICE_HTTPS;
        break;
    case INTERNET_SCHEME_FTP:
        dwServiceType = AFX_INET_SERVICE_FTP;
        break;
    case INTERNET_SCHEME_GOPHER:
        dwServiceType = AFX_INET_SERVICE_GOPHER;
        break;
    case INTERNET_SCHEME_FILE:
        dwServiceType = AFX_INET_SERVICE_FILE;
        break;
    default:
        dwServiceType = AFX_INET_SERVICE_UNK;
        break;
    }
    strServer.assign(host.data(), parts.dwHostNameLength);
    strObject.assign(path.data(), parts.dwUrlPathLength);
    nPort = parts.nPort;
    // A network address without a server names nothing that can be fetched.
    if (dwServiceType != AFX_INET_SERVICE_FILE && dwServiceType != AFX_INET_SERVICE_UNK &&
        strServer.empty())
        return false;
    return true;
}
