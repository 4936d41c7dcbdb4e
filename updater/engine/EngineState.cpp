#include "EngineState.h"

#include "AfxParseURL.h"
#include "DebugTrace.h"
#include "EngineRules.h"
#include "EngineTexts.h"
#include "LocalOutput.h"
#include "PartFile.h"
#include "ResumeRules.h"
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

// A response header as text; false when the response has none.
bool QueryHeader(const CHttpFile& file, DWORD dwLevel, std::string& value) {
    char szValue[1024] = "";
    DWORD nLength = sizeof szValue;
    if (!file.QueryInfo(dwLevel, szValue, &nLength))
        return false;
    value.assign(szValue, nLength < sizeof szValue ? nLength : sizeof szValue - 1);
    return true;
}

bool ReadSmallFile(const char* pszPath, std::string& text) {
    CKernelHandle file(CreateFileA(pszPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    char buffer[4096];
    DWORD nRead = 0;
    if (!file.IsValid() || !ReadFile(file.Get(), buffer, sizeof buffer, &nRead, nullptr) ||
        nRead == sizeof buffer)
        return false;
    text.assign(buffer, nRead);
    return true;
}

bool WriteSmallFile(const char* pszPath, const std::string& text) {
    CKernelHandle file(CreateFileA(pszPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD nWritten = 0;
    return file.IsValid() &&
           WriteFile(file.Get(), text.data(), DWORD(text.size()), &nWritten, nullptr) &&
           nWritten == text.size();
}

// Seconds since the file was last written; -1 when that cannot be read.
std::int64_t FileAgeSeconds(const char* pszPath) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(pszPath, GetFileExInfoStandard, &data))
        return -1;
    const std::uint64_t nWritten = (std::uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                   data.ftLastWriteTime.dwLowDateTime;
    const std::uint64_t nNow = updater::TicksSince1970() + kTicks1601To1970;
    return nNow > nWritten ? std::int64_t((nNow - nWritten) / 10000000u) : 0;
}

} // namespace

std::uint64_t updater::TicksSince1970() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t nTicks =
        (std::uint64_t(now.dwHighDateTime) << 32) | std::uint64_t(now.dwLowDateTime);
    return nTicks - kTicks1601To1970;
}

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
    if (m_pSetupKey)
        return DownloadSignedSetup();

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
        bAnnounced = QueryAnnouncedLength(*pHttp, nAnnounced);
        nTotal = bAnnounced ? std::uint32_t(nAnnounced) : std::uint32_t(pFile->GetLength());
    } else {
        nTotal = std::uint32_t(pFile->GetLength());
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

    const TransferEnd end = Transfer(
        *pFile, output, bAnnounced, nAnnounced, UINT64_MAX, UE_CONNECTION_LOST,
        [&](const char*, UINT, std::uint64_t nReceived) {
            return Notify(UE_DOWNLOAD_PROGRESS, WPARAM(std::uint32_t(nReceived)), LPARAM(nTotal));
        });
    releaseFile();
    if (end.kind != TransferEnd::Done) {
        output.Discard();
        if (end.kind == TransferEnd::Failed)
            Notify(end.nEvent);
        return;
    }
    if (!output.Keep()) {
        Notify(UE_LOCAL_FILE_FAILED);
        return;
    }
    Notify(UE_DOWNLOAD_DONE, reinterpret_cast<WPARAM>(szPath), 0);
}

bool CEngineState::PauseUnlessCutOff(DWORD dwMs) {
    if (m_cutOffEvent.IsValid())
        WaitForSingleObject(m_cutOffEvent.Get(), dwMs);
    else
        Sleep(dwMs);
    return !IsCutOff();
}

void CEngineState::DownloadSignedSetup() {
    char szFolder[MAX_PATH] = "";
    char szPath[MAX_PATH] = "";
    const DWORD nFolder = GetTempPathA(MAX_PATH, szFolder);
    const std::string strSetup = nFolder > 0 && nFolder < MAX_PATH &&
                                         updater::BuildSetupPath(szFolder, szPath, sizeof szPath)
                                     ? szPath
                                     : "";
    const std::string strPart = strSetup + updater::kPartSuffix;
    const std::string strRecord = strSetup + updater::kPartRecordSuffix;
    const std::uint64_t nSize = m_signedSetup.size;
    auto deleteBoth = [&] {
        DeleteFileA(strPart.c_str());
        DeleteFileA(strRecord.c_str());
    };

    std::string strAddress = m_szDownloadUrl;
    if (!updater::IsWebAddress(strAddress.c_str())) {
        Notify(UE_DOWNLOAD_CONNECT_FAILED);
        return;
    }
    if (strSetup.empty() || strPart.size() >= MAX_PATH || strRecord.size() >= MAX_PATH) {
        Notify(UE_LOCAL_FILE_FAILED);
        return;
    }

    // What an earlier run left is resumed only for this very setup, from
    // the address it came from (still one the document names), and while
    // it is fresh; anything else starts over.
    std::string strRecordText, strValidator;
    updater::PartRecord record;
    const std::int64_t nAge = FileAgeSeconds(strPart.c_str());
    const bool bResumable =
        nAge >= 0 && nAge <= updater::kPartMaxAgeSeconds &&
        ReadSmallFile(strRecord.c_str(), strRecordText) &&
        updater::ParsePartRecord(strRecordText, record) && record.digest == m_signedSetup.digest &&
        record.size == nSize &&
        std::find(m_webUrls.begin(), m_webUrls.end(), record.address) != m_webUrls.end();
    if (!bResumable) {
        deleteBoth();
    } else {
        strAddress = record.address;
        strValidator = record.validator;
    }

    CPartFile part;
    if (!part.Open(strPart.c_str())) {
        Notify(UE_LOCAL_FILE_FAILED);
        return;
    }
    std::unique_ptr<CSha256> pHash = std::make_unique<CSha256>();
    std::uint64_t nReceived = bResumable ? part.Size() : 0;
    if (nReceived > nSize || !part.HashPrefix(*pHash, nReceived)) {
        pHash = std::make_unique<CSha256>();
        nReceived = 0;
    }
    if (!part.TruncateTo(nReceived)) {
        part.Close();
        deleteBoth();
        Notify(UE_LOCAL_FILE_FAILED);
        return;
    }
    if (nReceived > 0)
        updater::DebugTrace("engine: resuming the %llu bytes an earlier run left, from %s",
                            static_cast<unsigned long long>(nReceived), strAddress.c_str());

    // Ends the download as a failure: the part goes unless it may be resumed.
    auto fail = [&](UINT nEvent, const char* pszText, bool bKeepPart) {
        part.Close();
        if (!bKeepPart)
            deleteBoth();
        if (pszText != nullptr)
            SetLastErrorText(pszText);
        Notify(nEvent);
    };

    // A part an earlier run finished needs no request at all.
    bool bReceiving = false;
    for (unsigned nAttempt = 0; nReceived < nSize; ++nAttempt) {
        if (nAttempt > 0) {
            if (nAttempt > updater::kMaxResumptions)
                return fail(UE_CONNECTION_LOST, updater::kTextConnectionLost, true);
            updater::DebugTrace("engine: connection ended at byte %llu of %llu; asking again "
                                "(%u of %u)",
                                static_cast<unsigned long long>(nReceived),
                                static_cast<unsigned long long>(nSize), nAttempt,
                                updater::kMaxResumptions);
            if (!PauseUnlessCutOff(updater::ResumePauseMs(nAttempt)))
                return;
        }
        const bool bRange = nReceived > 0;
        std::string strHeaders;
        if (bRange) {
            strHeaders = "Range: bytes=" + std::to_string(nReceived) + "-\r\n";
            if (!strValidator.empty())
                strHeaders += "If-Range: " + strValidator + "\r\n";
        }

        std::unique_ptr<CUrlFile> pFile;
        try {
            if (!m_pSession)
                throw CInternetException(ERROR_INVALID_HANDLE, kContext);
            pFile = m_pSession->OpenURL(strAddress.c_str(), kContext, kSignedOpenUrlFlags,
                                        bRange ? strHeaders.c_str() : nullptr,
                                        bRange ? DWORD(strHeaders.size()) : 0);
        } catch (const CInternetException& e) {
            if (IsCutOff())
                return;
            if (nAttempt == 0 && !bRange) {
                part.Close();
                deleteBoth();
                Notify(UE_DOWNLOAD_CONNECT_FAILED);
                return;
            }
            SetLastErrorText(e, updater::kTextConnectionLost);
            continue;
        }
        RegisterTransfer(pFile.get());
        auto releaseFile = [this, &pFile] {
            WithdrawTransfer(pFile.get());
            pFile.reset();
        };
        auto* pHttp = dynamic_cast<CHttpFile*>(pFile.get());
        DWORD dwStatus = 0;
        if (IsCutOff() || pHttp == nullptr || !pHttp->QueryInfoStatusCode(dwStatus)) {
            releaseFile();
            if (IsCutOff())
                return;
            return fail(UE_SETUP_MISSING, nullptr, false);
        }
        std::uint64_t nAnnounced = 0;
        const bool bAnnounced = QueryAnnouncedLength(*pHttp, nAnnounced);
        std::string strContentRange, strEtag, strModified;
        if (dwStatus == HTTP_STATUS_OK) {
            // The whole file: a server that does not resume, or a changed
            // file, starts it over.
            if (bAnnounced && nAnnounced != nSize) {
                releaseFile();
                return fail(UE_CONNECTION_LOST, updater::kTextSetupSizeMismatch, false);
            }
            if (nReceived > 0) {
                updater::DebugTrace("engine: the whole setup again (status 200): starting over");
                nReceived = 0;
                pHash = std::make_unique<CSha256>();
                if (!part.TruncateTo(0)) {
                    releaseFile();
                    return fail(UE_LOCAL_FILE_FAILED, nullptr, false);
                }
            }
            const bool bEtag = QueryHeader(*pHttp, HTTP_QUERY_ETAG, strEtag);
            const bool bModified = QueryHeader(*pHttp, HTTP_QUERY_LAST_MODIFIED, strModified);
            strValidator = updater::ChooseValidator(bEtag ? strEtag.c_str() : nullptr,
                                                    bModified ? strModified.c_str() : nullptr);
            updater::PartRecord newRecord{strAddress, strValidator, m_signedSetup.digest,
                                          m_signedSetup.size};
            const std::string strText = updater::FormatPartRecord(newRecord);
            if (strText.empty() || !WriteSmallFile(strRecord.c_str(), strText))
                DeleteFileA(strRecord.c_str());
        } else if (dwStatus == HTTP_STATUS_PARTIAL_CONTENT && bRange &&
                   QueryHeader(*pHttp, HTTP_QUERY_CONTENT_RANGE, strContentRange) &&
                   updater::ContinuesFrom(strContentRange.c_str(), nReceived, nSize) &&
                   (!bAnnounced || nAnnounced == nSize - nReceived)) {
            updater::DebugTrace("engine: the server continues at byte %llu (%s)",
                                static_cast<unsigned long long>(nReceived),
                                strContentRange.c_str());
        } else {
            releaseFile();
            updater::DebugTrace(
                "engine: status %lu%s%s: the download fails", static_cast<unsigned long>(dwStatus),
                strContentRange.empty() ? "" : ", Content-Range ", strContentRange.c_str());
            if (nAttempt == 0 && dwStatus != HTTP_STATUS_OK &&
                dwStatus != HTTP_STATUS_PARTIAL_CONTENT)
                return fail(UE_SETUP_MISSING, nullptr, false);
            return fail(UE_CONNECTION_LOST, updater::kTextConnectionLost, false);
        }

        if (!bReceiving) {
            bReceiving = true;
            if (!Notify(UE_DOWNLOAD_RECEIVING))
                return releaseFile();
        }

        // The body, never past the signed size.
        char block[kBlockSize];
        bool bEndedEarly = false;
        try {
            for (;;) {
                const UINT nRead = pFile->Read(block, kBlockSize);
                if (nRead == 0)
                    break;
                if (nRead > nSize - nReceived) {
                    releaseFile();
                    return fail(UE_CONNECTION_LOST, updater::kTextSetupSizeMismatch, false);
                }
                if (!part.Write(block, nRead)) {
                    releaseFile();
                    return fail(UE_LOCAL_FILE_FAILED, nullptr, false);
                }
                pHash->Update(block, nRead);
                nReceived += nRead;
                if (!Notify(UE_DOWNLOAD_PROGRESS, WPARAM(std::uint32_t(nReceived)),
                            LPARAM(std::uint32_t(nSize))))
                    return releaseFile();
            }
        } catch (const CInternetException& e) {
            if (IsCutOff())
                return releaseFile();
            SetLastErrorText(e, updater::kTextConnectionLost);
            bEndedEarly = true;
        }
        releaseFile();
        if (IsCutOff())
            return;
        if (!bEndedEarly && nReceived == nSize)
            break;
    }

    if (!bReceiving && !Notify(UE_DOWNLOAD_RECEIVING))
        return;
    updater::SetupDigest digest;
    if (!pHash->Finish(digest) || digest != m_signedSetup.digest)
        return fail(UE_CONNECTION_LOST, updater::kTextSetupMismatch, false);
    part.Close();
    DeleteFileA(strRecord.c_str());
    if (!MoveFileExA(strPart.c_str(), strSetup.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        deleteBoth();
        Notify(UE_LOCAL_FILE_FAILED);
        return;
    }
    std::snprintf(szPath, sizeof szPath, "%s", strSetup.c_str());
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
                // An invalid document keeps the error text it had.
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
