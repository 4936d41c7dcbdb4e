// CInternetSession: one WinINet session; opens connections and addresses.
#pragma once

#include "HttpConnection.h"
#include "InternetHandle.h"
#include "InternetServices.h"
#include "UrlFile.h"

#include <memory>

class CInternetSession {
public:
    // InternetOpenA. Throws CInternetException when the service is not there.
    CInternetSession(const char* pszAgent, DWORD_PTR dwContext = 1,
                     DWORD dwAccessType = PRE_CONFIG_INTERNET_ACCESS,
                     const char* pszProxyName = nullptr, const char* pszProxyBypass = nullptr,
                     DWORD dwFlags = 0);
    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;

    // InternetConnectA for HTTP. Throws CInternetException.
    std::unique_ptr<CHttpConnection> GetHttpConnection(const char* pszServer,
                                                       INTERNET_PORT nPort = 80,
                                                       const char* pszUserName = nullptr,
                                                       const char* pszPassword = nullptr);

    // Opens an address of any scheme: "file:" addresses as the local file,
    // http and https as a CHttpFile whose request is already sent, the rest
    // through WinINet's URL service. Throws CInternetException.
    std::unique_ptr<CUrlFile> OpenURL(const char* pszURL, DWORD_PTR dwContext = 1,
                                      DWORD dwFlags = INTERNET_FLAG_TRANSFER_ASCII,
                                      const char* pszHeaders = nullptr, DWORD dwHeadersLength = 0);

    void Close() { m_hSession.Reset(); }
    HINTERNET GetHandle() const { return m_hSession.Get(); }

private:
    CInternetHandle m_hSession;
    DWORD_PTR m_dwContext;
};
