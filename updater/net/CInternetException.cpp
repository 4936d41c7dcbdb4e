#include "CInternetException.h"

#include <wininet.h>

#include <cstring>

void CInternetException::ThrowLastError(DWORD_PTR dwContext) {
    throw CInternetException(GetLastError(), dwContext);
}

namespace {
DWORD FormatFrom(HMODULE hModule, DWORD dwError, char* pszBuffer, DWORD nSize) {
    DWORD dwFlags = FORMAT_MESSAGE_IGNORE_INSERTS |
                    (hModule ? FORMAT_MESSAGE_FROM_HMODULE : FORMAT_MESSAGE_FROM_SYSTEM);
    return FormatMessageA(dwFlags, hModule, dwError, 0, pszBuffer, nSize, nullptr);
}

void TrimLineEnds(char* pszText) {
    size_t n = std::strlen(pszText);
    while (n > 0 && (pszText[n - 1] == '\r' || pszText[n - 1] == '\n' || pszText[n - 1] == ' '))
        pszText[--n] = '\0';
}
} // namespace

bool CInternetException::GetErrorMessage(char* pszError, UINT nMaxError) const {
    if (pszError == nullptr || nMaxError == 0)
        return false;
    pszError[0] = '\0';
    // FormatMessage fails outright when the text does not fit; format into a
    // roomy buffer and cut it to the caller's size afterwards.
    char szText[2048] = "";
    DWORD n = 0;
    if (HMODULE hWinInet = GetModuleHandleA("wininet.dll"))
        n = FormatFrom(hWinInet, m_dwError, szText, sizeof szText);
    if (n == 0)
        n = FormatFrom(nullptr, m_dwError, szText, sizeof szText);
    if (n == 0)
        return false;
    TrimLineEnds(szText);
    if (m_dwError == ERROR_INTERNET_EXTENDED_ERROR) {
        char szResponse[1024] = "";
        DWORD dwDetail = 0, nResponse = sizeof szResponse;
        if (InternetGetLastResponseInfoA(&dwDetail, szResponse, &nResponse) && nResponse > 0) {
            TrimLineEnds(szResponse);
            const size_t nUsed = std::strlen(szText);
            if (nUsed + 1 < sizeof szText) {
                szText[nUsed] = ' ';
                lstrcpynA(szText + nUsed + 1, szResponse, int(sizeof szText - nUsed - 1));
            }
        }
    }
    lstrcpynA(pszError, szText, int(nMaxError));
    return pszError[0] != '\0';
}
