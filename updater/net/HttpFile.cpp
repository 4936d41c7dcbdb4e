#include "HttpFile.h"

#include "InternetException.h"

void CHttpFile::SendRequest(const char* pszHeaders, DWORD dwHeadersLength, void* pOptional,
                            DWORD dwOptionalLength) {
    HINTERNET hFile = GetHandle();
    if (hFile == nullptr)
        throw CInternetException(ERROR_INTERNET_OPERATION_CANCELLED, m_dwContext);
    if (!HttpSendRequestA(hFile, pszHeaders, dwHeadersLength, pOptional, dwOptionalLength))
        CInternetException::ThrowLastError(m_dwContext);
}

bool CHttpFile::QueryInfoStatusCode(DWORD& dwStatusCode) const {
    DWORD dwLength = sizeof dwStatusCode;
    return QueryInfo(HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &dwStatusCode, &dwLength);
}

bool CHttpFile::QueryInfo(DWORD dwInfoLevel, void* pBuffer, DWORD* pdwLength,
                          DWORD* pdwIndex) const {
    HINTERNET hFile = GetHandle();
    if (hFile == nullptr || pdwLength == nullptr)
        return false;
    return HttpQueryInfoA(hFile, dwInfoLevel, pBuffer, pdwLength, pdwIndex) != FALSE;
}
