#include "EngineState.h"

#include "EngineHelpers.h"
#include "EngineRules.h"
#include "EngineTexts.h"
#include "Sha256.h"
#include "TextRules.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

using StatePtr = std::shared_ptr<CEngineState>;

} // namespace

CEngineState::CEngineState()
    : m_cutOffEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr)), m_szLastError{}, m_szObjectName{},
      m_szDownloadUrl{} {}

CEngineState::~CEngineState() = default;

void CEngineState::SetCallback(UpdateEventCallback pfnCallback, DWORD dwContext,
                               unsigned int nSeed) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_pfnCallback = pfnCallback;
    m_dwContext = dwContext;
    m_nSeed = nSeed;
}

bool CEngineState::SetSetupKey(const updater::SetupKey& key) {
    auto pKey = std::make_unique<CEcdsaP256Key>();
    // The download hashes with SHA-256: a platform without it cannot check
    // a setup, so such a key is refused as well.
    if (!pKey->Import(key) || !CSha256().IsValid())
        return false;
    m_pSetupKey = std::move(pKey);
    return true;
}

bool CEngineState::GetSetupDigest(updater::SetupDigest& digest) const {
    if (!m_bHaveSetupDigest)
        return false;
    digest = m_signedSetup.digest;
    return true;
}

unsigned CEngineState::GetDownloadUrlCount() const {
    return m_pSetupKey ? unsigned(m_webUrls.size()) : m_versionInfo.GetDownloadUrlCount();
}

const char* CEngineState::GetDownloadUrl(int nIndex) const {
    if (!m_pSetupKey)
        return m_versionInfo.GetDownloadUrl(nIndex);
    return nIndex >= 0 && size_t(nIndex) < m_webUrls.size() ? m_webUrls[size_t(nIndex)].c_str()
                                                            : nullptr;
}

bool CEngineState::StartCheck(const char* pszHost, const char* pszPath, const char* pszFile) {
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_bStopping || m_bCheckStarted)
            return false;
    }
    try {
        if (!m_pSession)
            m_pSession =
                std::make_unique<CInternetSession>(updater::kUserAgent, updater::kContext,
                                                   PRE_CONFIG_INTERNET_ACCESS, nullptr, nullptr, 0);
        m_pConnection =
            m_pSession->GetHttpConnection(pszHost, INTERNET_DEFAULT_HTTP_PORT, nullptr, nullptr);
    } catch (const CInternetException& e) {
        m_pConnection.reset();
        SetLastErrorText(e, updater::kTextConnectFailed);
        return false;
    }
    std::snprintf(m_szObjectName, sizeof m_szObjectName, "%s%s", pszPath, pszFile);

    std::lock_guard<std::mutex> lock(m_lock);
    auto pArgument = std::make_unique<StatePtr>(shared_from_this());
    // The check is never waited for; it ends with one of its events.
    CKernelHandle thread(CreateThread(nullptr, 0, _CheckVersionMain, pArgument.get(), 0, nullptr));
    if (!thread.IsValid()) {
        lstrcpynA(m_szLastError, updater::kTextThreadFailed, int(sizeof m_szLastError));
        return false;
    }
    pArgument.release();
    ++m_nWorkers;
    m_bCheckStarted = true;
    return true;
}

bool CEngineState::StartDownload(const char* pszAddress) {
    HANDLE hThread = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_bStopping || m_hDownloadThread.IsValid())
            return false;
        // A longer address is refused and the empty member makes the
        // download fail to open (UE_DOWNLOAD_CONNECT_FAILED).
        m_szDownloadUrl[0] = '\0';
        updater::CopyFittingText(m_szDownloadUrl, sizeof m_szDownloadUrl, pszAddress);
        auto pArgument = std::make_unique<StatePtr>(shared_from_this());
        // Suspended until its handle is stored: its first event may wake the
        // owner, whose Stop must find the handle to wait for.
        hThread = CreateThread(nullptr, 0, _DownloadSetupMain, pArgument.get(), CREATE_SUSPENDED,
                               nullptr);
        if (hThread == nullptr)
            return false;
        pArgument.release();
        ++m_nWorkers;
        m_hDownloadThread.Reset(hThread);
    }
    ResumeThread(hThread);
    return true;
}

void CEngineState::Stop() {
    CKernelHandle thread;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_bStopping = true;
        m_szLastError[0] = '\0';
        thread = std::move(m_hDownloadThread);
    }
    const HANDLE hThread = thread.Get();
    const bool bOwnThread = hThread && GetThreadId(hThread) == GetCurrentThreadId();
    bool bEnded = hThread == nullptr || bOwnThread ||
                  WaitForSingleObject(hThread, CUpdateEngine::kStopWaitMs) == WAIT_OBJECT_0;

    {
        // Cut off whatever still runs: no more events, blocked reads closed,
        // and no handler call left in flight on another thread once we return.
        std::unique_lock<std::mutex> lock(m_lock);
        m_bCutOff = true;
        if (m_cutOffEvent.IsValid())
            SetEvent(m_cutOffEvent.Get());
        for (CUrlFile* pFile : m_transfers)
            pFile->Close();
        const DWORD dwSelf = GetCurrentThreadId();
        m_callbacksDone.wait(lock, [&] {
            return std::all_of(m_callbackThreads.begin(), m_callbackThreads.end(),
                               [&](DWORD id) { return id == dwSelf; });
        });
    }
    if (!bEnded)
        WaitForSingleObject(hThread, kCutOffGraceMs);
    thread.Reset();

    std::lock_guard<std::mutex> lock(m_lock);
    if (m_nWorkers == 0) {
        m_pCurrentProcessFile.reset();
        m_pConnection.reset();
        if (m_pSession)
            m_pSession->Close();
        m_pSession.reset();
    }
    // Otherwise the last worker's reference frees them when it ends.
}

std::string CEngineState::GetLastErrorText() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_szLastError;
}

bool CEngineState::Notify(UINT nCode, WPARAM wParam, LPARAM lParam) {
    UpdateEventCallback pfnCallback;
    DWORD dwContext;
    const DWORD dwSelf = GetCurrentThreadId();
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_bCutOff)
            return false;
        pfnCallback = m_pfnCallback;
        dwContext = m_dwContext;
        m_callbackThreads.push_back(dwSelf);
    }
    if (pfnCallback)
        pfnCallback(nCode, wParam, lParam, dwContext);
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_callbackThreads.erase(
            std::find(m_callbackThreads.begin(), m_callbackThreads.end(), dwSelf));
    }
    m_callbacksDone.notify_all();
    return true;
}

bool CEngineState::IsCutOff() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_bCutOff;
}

void CEngineState::SetLastErrorText(const char* pszText) {
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_bCutOff)
            return;
        lstrcpynA(m_szLastError, pszText, int(sizeof m_szLastError));
    }
    updater::Trace(pszText);
}

void CEngineState::SetLastErrorText(const CInternetException& e, const char* pszFallback) {
    char szMessage[kLastErrorSize];
    SetLastErrorText(e.GetErrorMessage(szMessage, sizeof szMessage) ? szMessage : pszFallback);
}

void CEngineState::RegisterTransfer(CUrlFile* pFile) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_transfers.push_back(pFile);
    // Stop may have cut us off just before: then the read must fail at once.
    if (m_bCutOff)
        pFile->Close();
}

void CEngineState::WithdrawTransfer(CUrlFile* pFile) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_transfers.erase(std::remove(m_transfers.begin(), m_transfers.end(), pFile),
                      m_transfers.end());
}

void CEngineState::LeaveWorker() {
    std::lock_guard<std::mutex> lock(m_lock);
    --m_nWorkers;
}

// A worker's life: its own reference to the state (its argument, handed over
// on start), the engine's seed for rand() on this thread, the work, leaving.
DWORD CEngineState::RunWorker(LPVOID pParam, void (CEngineState::*work)()) {
    const StatePtr pState = *std::unique_ptr<StatePtr>(static_cast<StatePtr*>(pParam));
    std::srand(pState->m_nSeed);
    (pState.get()->*work)();
    pState->LeaveWorker();
    return 0;
}

DWORD WINAPI CEngineState::_CheckVersionMain(LPVOID pParam) {
    return RunWorker(pParam, &CEngineState::CheckVersion);
}

DWORD WINAPI CEngineState::_DownloadSetupMain(LPVOID pParam) {
    return RunWorker(pParam, &CEngineState::DownloadSetup);
}

CEngineState::TransferEnd CEngineState::Transfer(CUrlFile& file, CLocalOutput& output,
                                                 bool bAnnounced, std::uint64_t nAnnounced,
                                                 std::uint64_t nLimit, UINT nLimitEvent,
                                                 const BlockHandler& onBlock) {
    char block[updater::kBlockSize];
    std::uint64_t nReceived = 0;
    try {
        for (;;) {
            const UINT nRead = file.Read(block, updater::kBlockSize);
            if (nRead == 0)
                break;
            if (nRead > nLimit - nReceived) {
                // An invalid document keeps the error text it had.
                updater::Trace("more bytes than allowed: the response is refused");
                return {TransferEnd::Failed, nLimitEvent};
            }
            nReceived += nRead;
            if (!output.Write(block, nRead))
                return {TransferEnd::Failed, UE_LOCAL_FILE_FAILED};
            if (onBlock && !onBlock(block, nRead, nReceived))
                return {TransferEnd::CutOff, 0};
        }
    } catch (const CInternetException& e) {
        if (IsCutOff())
            return {TransferEnd::CutOff, 0};
        SetLastErrorText(e, updater::kTextConnectionLost);
        return {TransferEnd::Failed, UE_CONNECTION_LOST};
    }
    if (IsCutOff())
        return {TransferEnd::CutOff, 0};
    if (!updater::IsBodyComplete(bAnnounced, nAnnounced, nReceived)) {
        SetLastErrorText(updater::kTextConnectionLost);
        return {TransferEnd::Failed, UE_CONNECTION_LOST};
    }
    return {TransferEnd::Done, 0};
}
