// CLocalUrlFile: a "file:" address opened as the local file it names; the
// internet service does not read those.
#pragma once

#include <atomic>

#include "CUrlFile.h"

class CLocalUrlFile : public CUrlFile {
public:
    // Opens the file for reading; throws CInternetException when it cannot.
    CLocalUrlFile(const char* pszPath, DWORD_PTR dwContext);
    ~CLocalUrlFile() override { Close(); }

    UINT Read(void* pBuffer, UINT nCount) override;
    ULONGLONG GetLength() override;
    void Close() override;

private:
    std::atomic<HANDLE> m_hFile;
    DWORD_PTR m_dwContext;
};
