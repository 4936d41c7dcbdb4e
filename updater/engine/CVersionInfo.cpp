#include "CVersionInfo.h"

namespace {
const char kVersionSection[] = "Version";
const char kCurrentVersionKey[] = "CurrentVersion";
const char kUrlSection[] = "DownloadUrls";
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
