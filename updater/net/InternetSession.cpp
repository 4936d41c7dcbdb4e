#include "InternetSession.h"

#include "AfxParseURL.h"
#include "HttpFile.h"
#include "InternetException.h"
#include "LocalUrlFile.h"

#include <shlwapi.h>

CInternetSession::CInternetSession(const char* pszAgent, DWORD_PTR dwContext, DWORD dwAccessType,
                                   const char* pszProxyName, const char* pszProxyBypass,
                                   DWORD dwFlags)
    : m_dwContext(dwContext) {
    HINTERNET hSession =
        InternetOpenA(pszAgent, dwAccessType, pszProxyName, pszProxyBypass, dwFlags);
    if (hSession == nullptr)
        CInternetException::ThrowLastError(dwContext);
    m_hSession.Reset(hSession);
}

std::unique_ptr<CHttpConnection> CInternetSession::GetHttpConnection(const char* pszServer,
                                                                     INTERNET_PORT nPort,
                                                                     const char* pszUserName,
                                                                     const char* pszPassword) {
    HINTERNET hSession = m_hSession.Get();
    if (hSession == nullptr)
        throw CInternetException(ERROR_INVALID_HANDLE, m_dwContext);
    HINTERNET hConnection = InternetConnectA(hSession, pszServer, nPort, pszUserName, pszPassword,
                                             INTERNET_SERVICE_HTTP, 0, m_dwContext);
    if (hConnection == nullptr)
        CInternetException::ThrowLastError(m_dwContext);
    return std::make_unique<CHttpConnection>(hConnection);
}

std::unique_ptr<CUrlFile> CInternetSession::OpenURL(const char* pszURL, DWORD_PTR dwContext,
                                                    DWORD dwFlags, const char* pszHeaders,
                                                    DWORD dwHeadersLength) {
    HINTERNET hSession = m_hSession.Get();
    if (hSession == nullptr)
        throw CInternetException(ERROR_INVALID_HANDLE, dwContext);
    if (pszURL == nullptr)
        throw CInternetException(ERROR_INTERNET_INVALID_URL, dwContext);

    DWORD dwService = AFX_INET_SERVICE_UNK;
    std::string strServer, strObject;
    INTERNET_PORT nPort = 0;
    const bool bParsed = AfxParseURL(pszURL, dwService, strServer, strObject, nPort);
    if (bParsed && dwService == AFX_INET_SERVICE_FILE) {
        char szPath[MAX_PATH];
        DWORD nPath = sizeof szPath;
        if (FAILED(PathCreateFromUrlA(pszURL, szPath, &nPath, 0)))
            throw CInternetException(ERROR_INTERNET_INVALID_URL, dwContext);
        return std::make_unique<CLocalUrlFile>(szPath, dwContext);
    }

    HINTERNET hFile =
        InternetOpenUrlA(hSession, pszURL, pszHeaders, dwHeadersLength, dwFlags, dwContext);
    if (hFile == nullptr)
        CInternetException::ThrowLastError(dwContext);
    if (!bParsed || dwService == AFX_INET_SERVICE_HTTP || dwService == AFX_INET_SERVICE_HTTPS)
        return std::make_unique<CHttpFile>(hFile, dwContext);
    return std::make_unique<CInternetFile>(hFile, dwContext);
}
