// CVersionInfo: the version document the update server delivers, read with the
// settings-document parser, plus the CurrentVersion text it announces.
#pragma once

#include "IniDocument.h"
#include "SignedSetup.h"

#include <cstddef>
#include <cstdint>
#include <string>

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

    // What a signed document says of its setup, read only when Server.ini
    // holds a SetupKey.
    struct SignedSetup {
        updater::SetupDigest digest{};
        updater::SetupSignature signature{};
        std::uint32_t size = 0;
        // SetupExpires as written, empty when the document has none; then
        // expiresAt means nothing.
        std::string expires;
        std::int64_t expiresAt = 0;
    };
    // [Version] SetupSize (1 to 2^32 - 1), SetupSHA256 (64 hex digits),
    // SetupSignature (128 hex digits) and, when present, SetupExpires
    // ("YYYY-MM-DDTHH:MM:SSZ"). False when one of the first three is missing
    // or one of the four malformed; `setup` is then left as it was.
    bool GetSignedSetup(SignedSetup& setup) const;

private:
    char m_szCurrentVersion[kCurrentVersionSize];
};
