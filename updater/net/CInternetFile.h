// CInternetFile: a stream over a WinINet handle (a request or an opened URL).
#pragma once

#include "CInternetHandle.h"
#include "CUrlFile.h"

class CInternetFile : public CUrlFile {
public:
    CInternetFile(HINTERNET hFile, DWORD_PTR dwContext) : m_hFile(hFile), m_dwContext(dwContext) {}

    UINT Read(void* pBuffer, UINT nCount) override;
    ULONGLONG GetLength() override;
    void Close() override { m_hFile.Close(); }

    HINTERNET GetHandle() const { return m_hFile.Get(); }
    DWORD_PTR GetContext() const { return m_dwContext; }

protected:
    CInternetHandle m_hFile;
    DWORD_PTR m_dwContext;
};
