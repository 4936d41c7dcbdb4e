#include "CInternetFile.h"

#include "CInternetException.h"

UINT CInternetFile::Read(void* pBuffer, UINT nCount) {
    HINTERNET hFile = m_hFile.Get();
    if (hFile == nullptr)
        throw CInternetException(ERROR_INTERNET_OPERATION_CANCELLED, m_dwContext);
    DWORD nRead = 0;
    if (!InternetReadFile(hFile, pBuffer, nCount, &nRead))
        CInternetException::ThrowLastError(m_dwContext);
    return nRead;
}

ULONGLONG CInternetFile::GetLength() {
    HINTERNET hFile = m_hFile.Get();
    DWORD nAvailable = 0;
    if (hFile == nullptr || !InternetQueryDataAvailable(hFile, &nAvailable, 0, 0))
        return 0;
    return nAvailable;
}
