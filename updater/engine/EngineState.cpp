#include "EngineState.h"

#include "AfxParseURL.h"
#include "DebugTrace.h"
#include "EngineRules.h"
#include "EngineTexts.h"
#include "LocalOutput.h"
#include "Sha256.h"
#include "TextRules.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const DWORD_PTR kContext = 1;
const UINT kBlockSize = 1024;
const DWORD kOpenUrlFlags = INTERNET_FLAG_PASSIVE | INTERNET_FLAG_TRANSFER_BINARY;
// A signed setup is checked as it arrives and held by us alone: WinINet's
// cache would keep a second copy of every byte (100 MB written twice), and
// a copy from it is nothing the signature asked for.
const DWORD kSignedOpenUrlFlags =
    kOpenUrlFlags | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD;
// 100 ns intervals between 1601-01-01 (FILETIME's origin) and 1970-01-01.
const std::uint64_t kTicks1601To1970 = 116444736000000000ull;

using StatePtr = std::shared_ptr<CEngineState>;

// The engine's developer trace: never shown to the user; a developer sees it
// with WINEDEBUG=+debugstr.
void Trace(const char* pszText) {
    updater::DebugTrace("engine: %s", pszText);
}

// The length the response announces, which tells a whole body from one the
// server cut off with a clean close (WinINet reports that as a normal end).
bool QueryAnnouncedLength(const CHttpFile& file, std::uint64_t& nAnnounced) {
    char szLength[128] = "";
    DWORD nLength = sizeof szLength;
    return file.QueryInfo(HTTP_QUERY_CONTENT_LENGTH, szLength, &nLength) &&
           updater::AnnouncedLength(szLength, nAnnounced);
}

} // namespace

std::uint64_t updater::TicksSince1970() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t nTicks =
        (std::uint64_t(now.dwHighDateTime) << 32) | std::uint64_t(now.dwLowDateTime);
    return nTicks - kTicks1601To1970;
}

CEngineState::CEngineState() : m_szLastError{}, m_szObjectName{}, m_szDownloadUrl{} {}

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

bool CEngineState::VerifyDocumentSignature() {
    CVersionInfo::SignedSetup setup;
    if (!m_versionInfo.GetSignedSetup(setup)) {
        Trace("SetupSize, SetupSHA256 or SetupSignature missing, or one of them or SetupExpires "
              "malformed");
        return false;
    }
    const std::string message = updater::SignedSetupMessage(
        m_versionInfo.GetCurrentVersion(), setup.size, setup.digest, setup.expires.c_str());
    updater::SetupDigest messageHash;
    if (!CSha256::Of(message.data(), message.size(), messageHash) ||
        !m_pSetupKey->Verify(messageHash, setup.signature)) {
        Trace("SetupSignature does not verify");
        return false;
    }
    // Only a signed expiry counts, so the clock is asked after the signature.
    const std::int64_t now = std::int64_t(updater::TicksSince1970() / 10000000u);
    if (!setup.expires.empty() && now >= setup.expiresAt) {
        updater::DebugTrace("engine: the version document expired at %s; the publisher must "
                            "sign it again",
                            setup.expires.c_str());
        return false;
    }
    m_webUrls.clear();
    const unsigned nCount = m_versionInfo.GetDownloadUrlCount();
    for (unsigned i = 0; i < nCount; ++i) {
        const char* pszUrl = m_versionInfo.GetDownloadUrl(int(i));
        if (updater::IsWebAddress(pszUrl))
            m_webUrls.emplace_back(pszUrl);
        else
            updater::DebugTrace("engine: download address %u skipped: only http:// and https:// "
                                "are used (%s)",
                                i + 1, pszUrl != nullptr ? pszUrl : "no value");
    }
    if (m_webUrls.empty()) {
        Trace("no usable download address");
        return false;
    }
    m_signedSetup = setup;
    m_bHaveSetupDigest = true;
    return true;
}

bool CEngineState::StartCheck(const char* pszHost, const char* pszPath, const char* pszFile) {
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_bStopping || m_bCheckStarted)
            return false;
    }
    try {
        if (!m_pSession)
            m_pSession = std::make_unique<CInternetSession>(
                updater::kUserAgent, kContext, PRE_CONFIG_INTERNET_ACCESS, nullptr, nullptr, 0);
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
    Trace(pszText);
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

// The temporary document is deleted before each closing event, so that an
// owner acting on the event already finds the folder clean.
void CEngineState::CheckVersion() {
    CTempDocument document;
    if (!Notify(UE_CHECK_STARTED))
        return;

    // Drops the request, and takes it out of Stop's reach first.
    auto releaseRequest = [this] {
        if (m_pCurrentProcessFile) {
            WithdrawTransfer(m_pCurrentProcessFile.get());
            m_pCurrentProcessFile.reset();
        }
    };

    try {
        m_pCurrentProcessFile = m_pConnection->OpenRequest(
            "GET", m_szObjectName, nullptr, kContext, nullptr, "HTTP/1.0", INTERNET_FLAG_RELOAD);
        RegisterTransfer(m_pCurrentProcessFile.get());
        m_pCurrentProcessFile->SendRequest(nullptr, 0, nullptr, 0);
    } catch (const CInternetException& e) {
        releaseRequest();
        if (IsCutOff())
            return;
        SetLastErrorText(e, updater::kTextSendFailed);
        document.Delete();
        Notify(UE_SEND_FAILED);
        return;
    }

    DWORD dwStatus = 0;
    if (!m_pCurrentProcessFile->QueryInfoStatusCode(dwStatus) || dwStatus != HTTP_STATUS_OK) {
        releaseRequest();
        char szText[kLastErrorSize];
        std::snprintf(szText, sizeof szText, updater::kTextFileMissingFormat, m_szObjectName);
        SetLastErrorText(szText);
        document.Delete();
        Notify(UE_VERSION_FILE_MISSING);
        return;
    }

    std::uint64_t nAnnounced = 0;
    const bool bAnnounced = QueryAnnouncedLength(*m_pCurrentProcessFile, nAnnounced);
    if (bAnnounced && nAnnounced > updater::kMaxVersionDocumentSize) {
        releaseRequest();
        Trace("version document longer than 64 KiB");
        document.Delete();
        Notify(UE_VERSION_INVALID);
        return;
    }

    CLocalOutput output(document.Path());
    if (!output.IsOpen()) {
        releaseRequest();
        document.Delete();
        Notify(UE_LOCAL_FILE_FAILED);
        return;
    }

    const TransferEnd end = Transfer(*m_pCurrentProcessFile, output, bAnnounced, nAnnounced,
                                     updater::kMaxVersionDocumentSize, UE_VERSION_INVALID, nullptr);
    const bool bKept = end.kind == TransferEnd::Done && output.Keep();
    releaseRequest();
    if (!bKept) {
        output.Discard();
        document.Delete();
        if (end.kind == TransferEnd::Failed)
            Notify(end.nEvent);
        else if (end.kind == TransferEnd::Done)
            Notify(UE_LOCAL_FILE_FAILED);
        return;
    }

    m_versionInfo.Empty();
    m_pConnection.reset();

    bool bValid = m_versionInfo.LoadVersion(document.Path());
    document.Delete();
    if (bValid && m_pSetupKey && !VerifyDocumentSignature()) {
        // Nothing of an unsigned document may be acted on.
        m_versionInfo.Empty();
        m_webUrls.clear();
        bValid = false;
    }
    Notify(bValid ? UE_VERSION_READY : UE_VERSION_INVALID);
}

void CEngineState::DownloadSetup() {
    if (!Notify(UE_DOWNLOAD_STARTED))
        return;

    DWORD dwService = AFX_INET_SERVICE_HTTP;
    std::string strServer, strObject;
    INTERNET_PORT nPort = 0;
    if (!AfxParseURL(m_szDownloadUrl, dwService, strServer, strObject, nPort))
        dwService = AFX_INET_SERVICE_HTTP;

    std::unique_ptr<CUrlFile> pFile;
    try {
        if (!m_pSession)
            throw CInternetException(ERROR_INVALID_HANDLE, kContext);
        // With a key only web addresses are opened, whoever asks.
        if (m_pSetupKey && !updater::IsWebAddress(m_szDownloadUrl))
            throw CInternetException(ERROR_INTERNET_UNRECOGNIZED_SCHEME, kContext);
        pFile = m_pSession->OpenURL(m_szDownloadUrl, kContext,
                                    m_pSetupKey ? kSignedOpenUrlFlags : kOpenUrlFlags, nullptr, 0);
    } catch (const CInternetException&) {
        Notify(UE_DOWNLOAD_CONNECT_FAILED);
        return;
    }
    RegisterTransfer(pFile.get());
    // Takes the stream out of Stop's reach before it is destroyed.
    auto releaseFile = [this, &pFile] {
        WithdrawTransfer(pFile.get());
        pFile.reset();
    };
    if (IsCutOff())
        return releaseFile();

    std::uint32_t nTotal = 0;
    std::uint64_t nAnnounced = 0;
    bool bAnnounced = false;
    auto* pHttp = dynamic_cast<CHttpFile*>(pFile.get());
    if ((dwService == AFX_INET_SERVICE_HTTP || dwService == AFX_INET_SERVICE_HTTPS) && pHttp) {
        DWORD dwStatus = 0;
        if (!pHttp->QueryInfoStatusCode(dwStatus) || dwStatus != HTTP_STATUS_OK) {
            releaseFile();
            Notify(UE_SETUP_MISSING);
            return;
        }
        bAnnounced = QueryAnnouncedLength(*pHttp, nAnnounced);
        nTotal = bAnnounced ? std::uint32_t(nAnnounced) : std::uint32_t(pFile->GetLength());
    } else {
        nTotal = std::uint32_t(pFile->GetLength());
    }
    // A signed setup is exactly its signed size: a response that says
    // otherwise is refused before anything is written, and the transfer
    // takes no byte more.
    std::uint64_t nLimit = UINT64_MAX;
    if (m_pSetupKey) {
        nLimit = m_signedSetup.size;
        if (bAnnounced && nAnnounced != nLimit) {
            releaseFile();
            SetLastErrorText(updater::kTextSetupSizeMismatch);
            Notify(UE_CONNECTION_LOST);
            return;
        }
        bAnnounced = true;
        nAnnounced = nLimit;
        nTotal = m_signedSetup.size;
    }

    char szFolder[MAX_PATH] = "";
    char szPath[MAX_PATH] = "";
    const DWORD nFolder = GetTempPathA(MAX_PATH, szFolder);
    if (nFolder == 0 || nFolder >= MAX_PATH ||
        !updater::BuildSetupPath(szFolder, szPath, sizeof szPath))
        szPath[0] = '\0';
    CLocalOutput output(szPath);
    if (!output.IsOpen()) {
        releaseFile();
        Notify(UE_LOCAL_FILE_FAILED);
        return;
    }
    if (!Notify(UE_DOWNLOAD_RECEIVING))
        return releaseFile();

    // With a setup key the bytes are hashed as they arrive, so a setup that
    // is not the signed one fails like a broken download.
    std::unique_ptr<CSha256> pHash;
    if (m_pSetupKey)
        pHash = std::make_unique<CSha256>();

    const TransferEnd end = Transfer(
        *pFile, output, bAnnounced, nAnnounced, nLimit, UE_CONNECTION_LOST,
        [&](const char* pBlock, UINT nRead, std::uint64_t nReceived) {
            if (pHash)
                pHash->Update(pBlock, nRead);
            return Notify(UE_DOWNLOAD_PROGRESS, WPARAM(std::uint32_t(nReceived)), LPARAM(nTotal));
        });
    releaseFile();
    if (end.kind != TransferEnd::Done) {
        output.Discard();
        if (end.kind == TransferEnd::Failed)
            Notify(end.nEvent);
        return;
    }
    if (pHash) {
        updater::SetupDigest digest;
        if (!m_bHaveSetupDigest || !pHash->Finish(digest) || digest != m_signedSetup.digest) {
            output.Discard();
            SetLastErrorText(updater::kTextSetupMismatch);
            Notify(UE_CONNECTION_LOST);
            return;
        }
    }
    if (!output.Keep()) {
        Notify(UE_LOCAL_FILE_FAILED);
        return;
    }
    Notify(UE_DOWNLOAD_DONE, reinterpret_cast<WPARAM>(szPath), 0);
}

CEngineState::TransferEnd CEngineState::Transfer(CUrlFile& file, CLocalOutput& output,
                                                 bool bAnnounced, std::uint64_t nAnnounced,
                                                 std::uint64_t nLimit, UINT nLimitEvent,
                                                 const BlockHandler& onBlock) {
    char block[kBlockSize];
    std::uint64_t nReceived = 0;
    try {
        for (;;) {
            const UINT nRead = file.Read(block, kBlockSize);
            if (nRead == 0)
                break;
            if (nRead > nLimit - nReceived) {
                // The check's document keeps its error text, as every invalid one.
                if (nLimitEvent == UE_CONNECTION_LOST)
                    SetLastErrorText(updater::kTextSetupSizeMismatch);
                else
                    Trace("more bytes than allowed: the response is refused");
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
