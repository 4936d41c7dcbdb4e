// The engine's local output files: the temporary version document and the
// file a transfer writes, each removed on every way out unless kept.
#pragma once

#include "UniqueHandle.h"

#include <windows.h>

// Deletes the temporary version document on every way out of the check.
class CTempDocument {
public:
    CTempDocument();
    ~CTempDocument() { Delete(); }
    CTempDocument(const CTempDocument&) = delete;
    CTempDocument& operator=(const CTempDocument&) = delete;

    const char* Path() const { return m_szPath; }
    void Delete();

private:
    char m_szPath[MAX_PATH] = "";
};

// A local file being written. It is marked for deletion from the moment it
// is created and only unmarked once complete, so that an unfinished file goes
// away with its handle, even when the process ends under a worker that Stop
// could not reach.
class CLocalOutput {
public:
    // An empty path opens nothing (IsOpen false).
    explicit CLocalOutput(const char* pszPath);
    ~CLocalOutput() { Discard(); }
    CLocalOutput(const CLocalOutput&) = delete;
    CLocalOutput& operator=(const CLocalOutput&) = delete;

    bool IsOpen() const { return m_file.IsValid(); }
    bool Write(const void* pData, DWORD nSize);
    // Unmarks and closes the file; false (and the file gone) when it cannot
    // be kept.
    bool Keep();
    // Closes and deletes the file, if still open.
    void Discard();

private:
    const char* m_pszPath;
    CKernelHandle m_file;
    bool m_bMarked = false;
};
