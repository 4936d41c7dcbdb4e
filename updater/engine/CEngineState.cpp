#include "CEngineState.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "AfxParseURL.h"
#include "CSha256.h"
#include "EngineRules.h"
#include "EngineTexts.h"

namespace {

const DWORD_PTR kContext = 1;
const UINT kBlockSize = 1024;
const DWORD kOpenUrlFlags = INTERNET_FLAG_PASSIVE | INTERNET_FLAG_TRANSFER_BINARY;

using StatePtr = std::shared_ptr<CEngineState>;

// A worker's argument: its own reference to the state, handed over on start.
StatePtr TakeArgument(LPVOID pParam) {
    std::unique_ptr<StatePtr> pArgument(static_cast<StatePtr*>(pParam));
    return *pArgument;
}

// Deletes the temporary version document on every way out of the check.
class CTempDocument {
public:
    CTempDocument() {
        char szFolder[MAX_PATH] = "";
        const DWORD n = GetTempPathA(MAX_PATH, szFolder);
        if (n == 0 || n >= MAX_PATH)
            szFolder[0] = '\0';
        if (szFolder[0] == '\0' || !GetTempFileNameA(szFolder, UE_TEMP_PREFIX, 0, m_szPath))
            m_szPath[0] = '\0';
    }
    ~CTempDocument() { Delete(); }
    CTempDocument(const CTempDocument&) = delete;
    CTempDocument& operator=(const CTempDocument&) = delete;

    const char* Path() const { return m_szPath; }
    void Delete() {
        if (m_szPath[0] != '\0')
            std::remove(m_szPath);
        m_szPath[0] = '\0';
    }

private:
    char m_szPath[MAX_PATH] = "";
};

// A local file being written. It is marked for deletion from the moment it
// is created and only unmarked once complete, so that an unfinished file goes
// away with its handle, even when the process ends under a worker that Stop
// could not reach.
class CLocalOutput {
public:
    explicit CLocalOutput(const char* pszPath) : m_pszPath(pszPath) {
        if (pszPath[0] == '\0')
            return;
        m_hFile = CreateFileA(pszPath, GENERIC_WRITE | DELETE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        if (m_hFile == INVALID_HANDLE_VALUE)
            return;
        FILE_DISPOSITION_INFO disposition{TRUE};
        m_bMarked = SetFileInformationByHandle(m_hFile, FileDispositionInfo, &disposition,
                                               sizeof disposition) != FALSE;
    }
    ~CLocalOutput() { Discard(); }
    CLocalOutput(const CLocalOutput&) = delete;
    CLocalOutput& operator=(const CLocalOutput&) = delete;

    bool IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }
    bool Write(const void* pData, DWORD nSize) {
        DWORD nWritten = 0;
        return WriteFile(m_hFile, pData, nSize, &nWritten, nullptr) && nWritten == nSize;
    }
    // Unmarks and closes the file; false (and the file gone) when it cannot
    // be kept.
    bool Keep() {
        FILE_DISPOSITION_INFO disposition{FALSE};
        if (m_bMarked && !SetFileInformationByHandle(m_hFile, FileDispositionInfo, &disposition,
                                                     sizeof disposition)) {
            Discard();
            return false;
        }
        CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
        return true;
    }
    void Discard() {
        if (m_hFile == INVALID_HANDLE_VALUE)
            return;
        CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
        // Only needed where the deletion mark could not be set.
        DeleteFileA(m_pszPath);
    }

private:
    const char* m_pszPath;
    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    bool m_bMarked = false;
};

} // namespace

CEngineState::CEngineState() : m_szLastError{}, m_szObjectName{}, m_szDownloadUrl{} {}

CEngineState::~CEngineState() = default;

void CEngineState::SetCallback(UpdateEventCallback pfnCallback, DWORD dwContext,
                               unsigned int nSeed) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_pfnCallback = pfnCallback;
    m_dwContext = dwContext;
    m_nSeed = nSeed;
}

bool CEngineState::SetSetupKey(const vemli::SetupKey& key) {
    auto pKey = std::make_unique<CEcdsaP256Key>();
    // The download hashes with SHA-256: a platform without it cannot check
    // a setup, so such a key is refused as well.
    if (!pKey->Import(key) || !CSha256().IsValid())
        return false;
    m_pSetupKey = std::move(pKey);
    return true;
}

bool CEngineState::GetSetupDigest(vemli::SetupDigest& digest) const {
    if (!m_bHaveSetupDigest)
        return false;
    digest = m_setupDigest;
    return true;
}

bool CEngineState::VerifyDocumentSignature() {
    vemli::SetupDigest digest;
    vemli::SetupSignature signature;
    if (!m_versionInfo.GetSetupSignature(digest, signature)) {
        OutputDebugStringA("updater engine: SetupSHA256 or SetupSignature missing or malformed\n");
        return false;
    }
    const std::string message =
        vemli::SignedSetupMessage(m_versionInfo.GetCurrentVersion(), digest);
    vemli::SetupDigest messageHash;
    if (!CSha256::Of(message.data(), message.size(), messageHash) ||
        !m_pSetupKey->Verify(messageHash, signature)) {
        OutputDebugStringA("updater engine: SetupSignature does not verify\n");
        return false;
    }
    m_setupDigest = digest;
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
                UE_USER_AGENT, kContext, PRE_CONFIG_INTERNET_ACCESS, nullptr, nullptr, 0);
        m_pConnection =
            m_pSession->GetHttpConnection(pszHost, INTERNET_DEFAULT_HTTP_PORT, nullptr, nullptr);
    } catch (const CInternetException& e) {
        m_pConnection.reset();
        SetLastErrorText(e, UE_TEXT_CONNECT_FAILED);
        return false;
    }
    std::snprintf(m_szObjectName, sizeof m_szObjectName, "%s%s", pszPath, pszFile);

    std::lock_guard<std::mutex> lock(m_lock);
    auto pArgument = std::make_unique<StatePtr>(shared_from_this());
    // The check is never waited for; it ends with one of its events.
    CKernelHandle thread(CreateThread(nullptr, 0, _CheckVersionMain, pArgument.get(), 0, nullptr));
    if (!thread.IsValid()) {
        lstrcpynA(m_szLastError, UE_TEXT_THREAD_FAILED, int(sizeof m_szLastError));
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
        // download fail to open (event 8).
        m_szDownloadUrl[0] = '\0';
        CopyFittingText(m_szDownloadUrl, sizeof m_szDownloadUrl, pszAddress);
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
    // Never shown to the user; a developer sees it with WINEDEBUG=+debugstr.
    OutputDebugStringA("updater engine: ");
    OutputDebugStringA(pszText);
    OutputDebugStringA("\n");
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

DWORD WINAPI CEngineState::_CheckVersionMain(LPVOID pParam) {
    StatePtr pState = TakeArgument(pParam);
    std::srand(pState->m_nSeed);
    pState->CheckVersion();
    pState->LeaveWorker();
    return 0;
}

DWORD WINAPI CEngineState::_DownloadSetupMain(LPVOID pParam) {
    StatePtr pState = TakeArgument(pParam);
    std::srand(pState->m_nSeed);
    pState->DownloadSetup();
    pState->LeaveWorker();
    return 0;
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
        SetLastErrorText(e, UE_TEXT_SEND_FAILED);
        document.Delete();
        Notify(UE_SEND_FAILED);
        return;
    }

    DWORD dwStatus = 0;
    if (!m_pCurrentProcessFile->QueryInfoStatusCode(dwStatus) || dwStatus != HTTP_STATUS_OK) {
        releaseRequest();
        char szText[kLastErrorSize];
        std::snprintf(szText, sizeof szText, UE_TEXT_FILE_MISSING_FMT, m_szObjectName);
        SetLastErrorText(szText);
        document.Delete();
        Notify(UE_VERSION_FILE_MISSING);
        return;
    }

    // The announced length tells a whole document from one the server cut
    // off with a clean close, which WinINet reports as a normal end.
    char szLength[128] = "";
    DWORD nLength = sizeof szLength;
    std::uint64_t nAnnounced = 0;
    const bool bAnnounced =
        m_pCurrentProcessFile->QueryInfo(HTTP_QUERY_CONTENT_LENGTH, szLength, &nLength) &&
        AnnouncedLength(szLength, nAnnounced);

    CLocalOutput output(document.Path());
    if (!output.IsOpen()) {
        releaseRequest();
        document.Delete();
        Notify(UE_LOCAL_FILE_FAILED);
        return;
    }

    char block[kBlockSize];
    std::uint64_t nReceived = 0;
    bool bWritten = true;
    try {
        for (;;) {
            const UINT nRead = m_pCurrentProcessFile->Read(block, kBlockSize);
            if (nRead == 0)
                break;
            nReceived += nRead;
            if (!output.Write(block, nRead)) {
                bWritten = false;
                break;
            }
        }
    } catch (const CInternetException& e) {
        output.Discard();
        document.Delete();
        if (IsCutOff())
            return releaseRequest();
        SetLastErrorText(e, UE_TEXT_CONNECTION_LOST);
        Notify(UE_CONNECTION_LOST);
        return;
    }
    if (IsCutOff())
        return releaseRequest();
    if (!bWritten || !output.Keep()) {
        releaseRequest();
        document.Delete();
        Notify(UE_LOCAL_FILE_FAILED);
        return;
    }
    if (!IsBodyComplete(bAnnounced, nAnnounced, nReceived)) {
        releaseRequest();
        SetLastErrorText(UE_TEXT_CONNECTION_LOST);
        document.Delete();
        Notify(UE_CONNECTION_LOST);
        return;
    }

    m_versionInfo.Empty();
    releaseRequest();
    m_pConnection.reset();

    bool bValid = m_versionInfo.LoadVersion(document.Path());
    document.Delete();
    if (bValid && m_pSetupKey && !VerifyDocumentSignature()) {
        // Nothing of an unsigned document may be acted on.
        m_versionInfo.Empty();
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
        pFile = m_pSession->OpenURL(m_szDownloadUrl, kContext, kOpenUrlFlags, nullptr, 0);
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
        char szLength[128] = "";
        DWORD nLength = sizeof szLength;
        bAnnounced = pHttp->QueryInfo(HTTP_QUERY_CONTENT_LENGTH, szLength, &nLength) &&
                     AnnouncedLength(szLength, nAnnounced);
        nTotal = bAnnounced ? std::uint32_t(nAnnounced) : std::uint32_t(pFile->GetLength());
    } else {
        nTotal = std::uint32_t(pFile->GetLength());
    }

    char szFolder[MAX_PATH] = "";
    char szPath[MAX_PATH] = "";
    const DWORD nFolder = GetTempPathA(MAX_PATH, szFolder);
    if (nFolder == 0 || nFolder >= MAX_PATH || !BuildSetupPath(szFolder, szPath, sizeof szPath))
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

    char block[kBlockSize];
    std::uint64_t nReceived = 0;
    try {
        for (;;) {
            const UINT nRead = pFile->Read(block, kBlockSize);
            if (nRead == 0)
                break;
            if (pHash)
                pHash->Update(block, nRead);
            if (!output.Write(block, nRead)) {
                output.Discard();
                releaseFile();
                Notify(UE_LOCAL_FILE_FAILED);
                return;
            }
            nReceived += nRead;
            if (!Notify(UE_DOWNLOAD_PROGRESS, WPARAM(std::uint32_t(nReceived)), LPARAM(nTotal)))
                return releaseFile();
        }
    } catch (const CInternetException& e) {
        output.Discard();
        releaseFile();
        if (IsCutOff())
            return;
        SetLastErrorText(e, UE_TEXT_CONNECTION_LOST);
        Notify(UE_CONNECTION_LOST);
        return;
    }
    releaseFile();
    if (!IsBodyComplete(bAnnounced, nAnnounced, nReceived)) {
        output.Discard();
        SetLastErrorText(UE_TEXT_CONNECTION_LOST);
        Notify(UE_CONNECTION_LOST);
        return;
    }
    if (pHash) {
        vemli::SetupDigest digest;
        if (!m_bHaveSetupDigest || !pHash->Finish(digest) || digest != m_setupDigest) {
            output.Discard();
            SetLastErrorText(UE_TEXT_SETUP_MISMATCH);
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
