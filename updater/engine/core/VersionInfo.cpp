#include "VersionInfo.h"

namespace {
const char kVersionSection[] = "Version";
const char kCurrentVersionKey[] = "CurrentVersion";
const char kUrlSection[] = "DownloadUrls";
// Any value the parser holds fits: it reads lines in pieces of 1023 bytes.
const std::size_t kValueSize = 1024;
} // namespace

CVersionInfo::CVersionInfo() : m_szCurrentVersion{} {}

bool CVersionInfo::LoadVersion(const char* pszPath) {
    Empty();
    if (!Load(pszPath))
        return false;
    if (!GetString(kVersionSection, kCurrentVersionKey, m_szCurrentVersion,
                   sizeof m_szCurrentVersion))
        return false;
    return GetKeyCount(kUrlSection) > 0;
}

void CVersionInfo::Empty() {
    Clear();
    m_szCurrentVersion[0] = '\0';
}

unsigned CVersionInfo::GetDownloadUrlCount() const {
    return GetKeyCount(kUrlSection);
}

const char* CVersionInfo::GetDownloadUrl(int nIndex) const {
    return GetValueAt(kUrlSection, nIndex);
}

bool CVersionInfo::GetSignedSetup(SignedSetup& setup) const {
    char szSize[kValueSize];
    char szDigest[kValueSize];
    char szSignature[kValueSize];
    char szExpires[kValueSize] = "";
    SignedSetup read;
    if (!GetString(kVersionSection, updater::kSetupSizeName, szSize, sizeof szSize) ||
        !GetString(kVersionSection, updater::kSetupDigestName, szDigest, sizeof szDigest) ||
        !GetString(kVersionSection, updater::kSetupSignatureName, szSignature,
                   sizeof szSignature) ||
        !updater::ParseSetupSize(szSize, read.size) ||
        !updater::ParseHexBytes(szDigest, read.digest) ||
        !updater::ParseHexBytes(szSignature, read.signature))
        return false;
    // Absent is fine; present, it must be a time (an entry without value too).
    if (GetString(kVersionSection, updater::kSetupExpiresName, szExpires, sizeof szExpires)) {
        if (!updater::ParseExpiresText(szExpires, read.expiresAt))
            return false;
        read.expires = szExpires;
    }
    setup = read;
    return true;
}
