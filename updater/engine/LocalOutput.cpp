#include "LocalOutput.h"

#include "EngineTexts.h"

#include <cstdio>

CTempDocument::CTempDocument() {
    char szFolder[MAX_PATH] = "";
    const DWORD n = GetTempPathA(MAX_PATH, szFolder);
    if (n == 0 || n >= MAX_PATH)
        szFolder[0] = '\0';
    if (szFolder[0] == '\0' || !GetTempFileNameA(szFolder, updater::kTempPrefix, 0, m_szPath))
        m_szPath[0] = '\0';
}

void CTempDocument::Delete() {
    if (m_szPath[0] != '\0')
        std::remove(m_szPath);
    m_szPath[0] = '\0';
}

CLocalOutput::CLocalOutput(const char* pszPath) : m_pszPath(pszPath) {
    if (pszPath[0] == '\0')
        return;
    m_file.Reset(CreateFileA(pszPath, GENERIC_WRITE | DELETE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!m_file.IsValid())
        return;
    FILE_DISPOSITION_INFO disposition{TRUE};
    m_bMarked = SetFileInformationByHandle(m_file.Get(), FileDispositionInfo, &disposition,
                                           sizeof disposition) != FALSE;
}

bool CLocalOutput::Write(const void* pData, DWORD nSize) {
    DWORD nWritten = 0;
    return WriteFile(m_file.Get(), pData, nSize, &nWritten, nullptr) && nWritten == nSize;
}

bool CLocalOutput::Keep() {
    FILE_DISPOSITION_INFO disposition{FALSE};
    if (m_bMarked && !SetFileInformationByHandle(m_file.Get(), FileDispositionInfo, &disposition,
                                                 sizeof disposition)) {
        Discard();
        return false;
    }
    m_file.Reset();
    return true;
}

void CLocalOutput::Discard() {
    if (!m_file.IsValid())
        return;
    m_file.Reset();
    // Only needed where the deletion mark could not be set.
    DeleteFileA(m_pszPath);
}
