#include "HttpConnection.h"

#include "InternetException.h"

std::unique_ptr<CHttpFile> CHttpConnection::OpenRequest(const char* pszVerb,
                                                        const char* pszObjectName,
                                                        const char* pszReferer, DWORD_PTR dwContext,
                                                        const char** ppszAcceptTypes,
                                                        const char* pszVersion, DWORD dwFlags) {
    HINTERNET hConnection = m_hConnection.Get();
    if (hConnection == nullptr)
        throw CInternetException(ERROR_INVALID_HANDLE, dwContext);
    HINTERNET hRequest = HttpOpenRequestA(hConnection, pszVerb, pszObjectName, pszVersion,
                                          pszReferer, ppszAcceptTypes, dwFlags, dwContext);
    if (hRequest == nullptr)
        CInternetException::ThrowLastError(dwContext);
    return std::make_unique<CHttpFile>(hRequest, dwContext);
}
