#include "LocalUrlFile.h"

#include "InternetException.h"

#include <wininet.h>

CLocalUrlFile::CLocalUrlFile(const char* pszPath, DWORD_PTR dwContext) : m_dwContext(dwContext) {
    HANDLE hFile = CreateFileA(pszPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        CInternetException::ThrowLastError(dwContext);
    m_hFile.Reset(hFile);
}

HANDLE CLocalUrlFile::GetHandle() const {
    std::lock_guard<std::mutex> lock(m_handleLock);
    return m_hFile.Get();
}

UINT CLocalUrlFile::Read(void* pBuffer, UINT nCount) {
    HANDLE hFile = GetHandle();
    if (hFile == nullptr)
        throw CInternetException(ERROR_INTERNET_OPERATION_CANCELLED, m_dwContext);
    DWORD nRead = 0;
    if (!ReadFile(hFile, pBuffer, nCount, &nRead, nullptr))
        CInternetException::ThrowLastError(m_dwContext);
    return nRead;
}

ULONGLONG CLocalUrlFile::GetLength() {
    LARGE_INTEGER size{};
    HANDLE hFile = GetHandle();
    if (hFile == nullptr || !GetFileSizeEx(hFile, &size))
        return 0;
    return ULONGLONG(size.QuadPart);
}

void CLocalUrlFile::Close() {
    std::lock_guard<std::mutex> lock(m_handleLock);
    m_hFile.Reset();
}
