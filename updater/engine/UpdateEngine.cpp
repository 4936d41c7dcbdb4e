#include "UpdateEngine.h"

#include "EngineRules.h"
#include "EngineState.h"
#include "SmallFiles.h"
#include "TextRules.h"

#include <cstdint>
#include <cstdlib>

CUpdateEngine::CUpdateEngine()
    : m_szServer{}, m_szPath{}, m_szFile{}, m_pState(std::make_shared<CEngineState>()) {}

CUpdateEngine::~CUpdateEngine() {
    if (!m_bStopped)
        Stop();
}

void CUpdateEngine::SetServer(const char* pszHost, const char* pszPath, const char* pszFile) {
    updater::CopyFittingText(m_szServer, sizeof m_szServer, pszHost);
    updater::CopyFittingText(m_szPath, sizeof m_szPath, pszPath);
    updater::CopyFittingText(m_szFile, sizeof m_szFile, pszFile);
}

bool CUpdateEngine::SetCallback(UpdateEventCallback pfnCallback, DWORD dwContext) {
    if (m_bCallbackSet || pfnCallback == nullptr)
        return false;
    const unsigned int nSeed = updater::ComputeRandomSeed(updater::TicksSince1970());
    std::srand(nSeed);
    m_pState->SetCallback(pfnCallback, dwContext, nSeed);
    m_bCallbackSet = true;
    m_bReady = m_szServer[0] != '\0' && m_szPath[0] != '\0' && m_szFile[0] != '\0';
    return m_bReady;
}

bool CUpdateEngine::SetSetupKey(const updater::SetupKey& key) {
    return !m_bStopped && m_pState->SetSetupKey(key);
}

bool CUpdateEngine::GetSetupDigest(updater::SetupDigest& digest) const {
    return m_pState->GetSetupDigest(digest);
}

bool CUpdateEngine::StartCheck() {
    if (!m_bReady || m_bStopped)
        return false;
    return m_pState->StartCheck(m_szServer, m_szPath, m_szFile);
}

const char* CUpdateEngine::GetCurrentVersion() const {
    return m_pState->GetVersionInfo().GetCurrentVersion();
}

unsigned CUpdateEngine::GetDownloadUrlCount() const {
    return m_pState->GetDownloadUrlCount();
}

const char* CUpdateEngine::GetDownloadUrl(int nIndex) const {
    return m_pState->GetDownloadUrl(nIndex);
}

bool CUpdateEngine::StartDownload(const char* pszAddress) {
    // Called from the check thread too: the state decides under its lock.
    return m_pState->StartDownload(pszAddress);
}

void CUpdateEngine::Stop() {
    m_szServer[0] = m_szPath[0] = m_szFile[0] = '\0';
    m_pState->Stop();
    m_bStopped = true;
}

std::string CUpdateEngine::GetLastErrorText() const {
    return m_pState->GetLastErrorText();
}
