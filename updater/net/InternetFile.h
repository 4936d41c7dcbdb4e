// CInternetFile: a stream over a WinINet handle (a request or an opened URL).
#pragma once

#include "InternetHandle.h"
#include "UrlFile.h"

#include <mutex>

class CInternetFile : public CUrlFile {
public:
    CInternetFile(HINTERNET hFile, DWORD_PTR dwContext) : m_dwContext(dwContext), m_hFile(hFile) {}

    UINT Read(void* pBuffer, UINT nCount) override;
    ULONGLONG GetLength() override;
    void Close() override;

    HINTERNET GetHandle() const;
    DWORD_PTR GetContext() const { return m_dwContext; }

protected:
    DWORD_PTR m_dwContext;

private:
    // Close may come from another thread while the owner is blocked in a read
    // on the handle: that is how WinINet cancels a transfer. The lock hands
    // the handle between the threads soundly; it is never held during a read.
    mutable std::mutex m_handleLock;
    CInternetHandle m_hFile;
};
