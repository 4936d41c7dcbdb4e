// CHttpFile: one HTTP request and its response.
#pragma once

#include "InternetFile.h"

class CHttpFile : public CInternetFile {
public:
    using CInternetFile::CInternetFile;

    // Sends the request with optional extra headers and body. Throws
    // CInternetException.
    void SendRequest(const char* pszHeaders = nullptr, DWORD dwHeadersLength = 0,
                     void* pOptional = nullptr, DWORD dwOptionalLength = 0);

    // The response status; false when it cannot be read.
    bool QueryInfoStatusCode(DWORD& dwStatusCode) const;

    // HttpQueryInfoA on the response; *pdwLength is the buffer size in and
    // the text length out.
    bool QueryInfo(DWORD dwInfoLevel, void* pBuffer, DWORD* pdwLength,
                   DWORD* pdwIndex = nullptr) const;
};
