// CPartFile: an unfinished signed setup ("VemliSetup.exe.part"), written at
// its end and kept between runs, so that a dropped connection costs only
// the bytes still missing. Held exclusively while open.
#pragma once

#include "Sha256.h"
#include "UniqueHandle.h"

#include <windows.h>

class CPartFile {
public:
    // Opens the file for reading and writing, creating it when missing.
    bool Open(const char* pszPath);
    bool IsOpen() const { return m_file.IsValid(); }
    // Bytes the file holds; 0 when it cannot say.
    ULONGLONG Size() const;
    // Keeps the first nOffset bytes; the next write goes right after them.
    bool TruncateTo(ULONGLONG nOffset);
    bool Write(const void* pData, DWORD nSize);
    // Feeds the first nBytes of the file into `hash` (a resumed part is
    // hashed again, never trusted); leaves the position at nBytes.
    bool HashPrefix(CSha256& hash, ULONGLONG nBytes);
    void Close() { m_file.Reset(); }

private:
    CKernelHandle m_file;
};
