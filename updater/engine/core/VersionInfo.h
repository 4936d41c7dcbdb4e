// CVersionInfo: the version document the update server delivers, read with the
// settings-document parser, plus the CurrentVersion text it announces.
#pragma once

#include "IniDocument.h"
#include "SignedSetup.h"

#include <cstddef>

class CVersionInfo : public CIniDocument {
public:
    // Room for CurrentVersion, terminator included.
    static constexpr std::size_t kCurrentVersionSize = 128;

    CVersionInfo();

    // Loads the document at pszPath and takes its CurrentVersion. True when
    // the document is valid: it loads, [Version] CurrentVersion exists and
    // fits in 128 bytes (an entry without value counts, as ""), and
    // [DownloadUrls] holds at least one entry.
    bool LoadVersion(const char* pszPath);

    // Drops the document and the version text.
    void Empty();

    const char* GetCurrentVersion() const { return m_szCurrentVersion; }
    unsigned GetDownloadUrlCount() const;
    const char* GetDownloadUrl(int nIndex) const;

    // [Version] SetupSHA256 (64 hex digits) and SetupSignature (128 hex
    // digits), read only when Server.ini holds a SetupKey. False when either
    // is missing or malformed; the outputs are then left as they were.
    bool GetSetupSignature(updater::SetupDigest& digest, updater::SetupSignature& signature) const;

private:
    char m_szCurrentVersion[kCurrentVersionSize];
};
