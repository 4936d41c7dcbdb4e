// CInternetException: a failed WinINet call, thrown by value by the internet
// layer and caught where it arises. Carries the error code and gives its
// system text.
#pragma once

#include <windows.h>

class CInternetException {
public:
    explicit CInternetException(DWORD dwError, DWORD_PTR dwContext = 0)
        : m_dwError(dwError), m_dwContext(dwContext) {}

    // Throws the calling thread's last error.
    [[noreturn]] static void ThrowLastError(DWORD_PTR dwContext = 0);

    DWORD GetErrorCode() const { return m_dwError; }
    DWORD_PTR GetContext() const { return m_dwContext; }

    // The system's text for the error (WinINet's message table first, then
    // the system's), line ends trimmed, cut to nMaxError bytes with its
    // terminator; for an extended error the server's own response text is
    // added. False, with an empty buffer, when the system has no text.
    bool GetErrorMessage(char* pszError, UINT nMaxError) const;

private:
    DWORD m_dwError;
    DWORD_PTR m_dwContext;
};
