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

bool CVersionInfo::GetSetupSignature(updater::SetupDigest& digest,
                                     updater::SetupSignature& signature) const {
    char szDigest[kValueSize];
    char szSignature[kValueSize];
    updater::SetupDigest newDigest;
    updater::SetupSignature newSignature;
    if (!GetString(kVersionSection, updater::kSetupDigestName, szDigest, sizeof szDigest) ||
        !GetString(kVersionSection, updater::kSetupSignatureName, szSignature,
                   sizeof szSignature) ||
        !updater::ParseHexBytes(szDigest, newDigest) ||
        !updater::ParseHexBytes(szSignature, newSignature))
        return false;
    digest = newDigest;
    signature = newSignature;
    return true;
}
