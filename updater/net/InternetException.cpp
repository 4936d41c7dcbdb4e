#include "InternetException.h"

#include "ErrorText.h"

#include <wininet.h>

#include <cstring>

void CInternetException::ThrowLastError(DWORD_PTR dwContext) {
    throw CInternetException(GetLastError(), dwContext);
}

namespace {
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
    char szText[2048] = "";
    if (!updater::FormatErrorText(m_dwError, szText, sizeof szText))
        return false;
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
