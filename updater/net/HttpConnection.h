// CHttpConnection: a connection to one HTTP server, from which requests are
// opened.
#pragma once

#include "HttpFile.h"
#include "InternetHandle.h"

#include <memory>

class CHttpConnection {
public:
    explicit CHttpConnection(HINTERNET hConnection) : m_hConnection(hConnection) {}

    // HttpOpenRequestA; nothing is sent yet. Throws CInternetException.
    std::unique_ptr<CHttpFile> OpenRequest(const char* pszVerb, const char* pszObjectName,
                                           const char* pszReferer, DWORD_PTR dwContext,
                                           const char** ppszAcceptTypes, const char* pszVersion,
                                           DWORD dwFlags);

    void Close() { m_hConnection.Reset(); }

private:
    CInternetHandle m_hConnection;
};
