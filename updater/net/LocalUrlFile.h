// CLocalUrlFile: a "file:" address opened as the local file it names; the
// internet service does not read those.
#pragma once

#include "UniqueHandle.h"
#include "UrlFile.h"

#include <mutex>

class CLocalUrlFile : public CUrlFile {
public:
    // Opens the file for reading; throws CInternetException when it cannot.
    CLocalUrlFile(const char* pszPath, DWORD_PTR dwContext);

    UINT Read(void* pBuffer, UINT nCount) override;
    ULONGLONG GetLength() override;
    void Close() override;

private:
    // Close may come from another thread while a read is blocked (see
    // CUrlFile); the lock is never held during a read.
    HANDLE GetHandle() const;

    mutable std::mutex m_handleLock;
    CKernelHandle m_hFile;
    DWORD_PTR m_dwContext;
};
