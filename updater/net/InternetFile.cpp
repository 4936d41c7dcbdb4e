#include "InternetFile.h"

#include "InternetException.h"

void CInternetFile::Close() {
    std::lock_guard<std::mutex> lock(m_handleLock);
    m_hFile.Reset();
}

HINTERNET CInternetFile::GetHandle() const {
    std::lock_guard<std::mutex> lock(m_handleLock);
    return m_hFile.Get();
}

UINT CInternetFile::Read(void* pBuffer, UINT nCount) {
    HINTERNET hFile = GetHandle();
    if (hFile == nullptr)
        throw CInternetException(ERROR_INTERNET_OPERATION_CANCELLED, m_dwContext);
    DWORD nRead = 0;
    if (!InternetReadFile(hFile, pBuffer, nCount, &nRead))
        CInternetException::ThrowLastError(m_dwContext);
    return nRead;
}

ULONGLONG CInternetFile::GetLength() {
    HINTERNET hFile = GetHandle();
    DWORD nAvailable = 0;
    if (hFile == nullptr || !InternetQueryDataAvailable(hFile, &nAvailable, 0, 0))
        return 0;
    return nAvailable;
}
