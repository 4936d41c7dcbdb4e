#include "CVersionInfo.h"

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

bool CVersionInfo::GetSetupSignature(vemli::SetupDigest& digest,
                                     vemli::SetupSignature& signature) const {
    char szDigest[kValueSize];
    char szSignature[kValueSize];
    vemli::SetupDigest newDigest;
    vemli::SetupSignature newSignature;
    if (!GetString(kVersionSection, vemli::kSetupDigestName, szDigest, sizeof szDigest) ||
        !GetString(kVersionSection, vemli::kSetupSignatureName, szSignature, sizeof szSignature) ||
        !vemli::ParseHexBytes(szDigest, newDigest) ||
        !vemli::ParseHexBytes(szSignature, newSignature))
        return false;
    digest = newDigest;
    signature = newSignature;
    return true;
}
