// CEngineState: everything of CUpdateEngine that its worker threads touch.
// The engine and each running worker hold it by shared_ptr, so a worker that
// outlives Stop (a stalled server) still has valid objects under it; after
// Stop has cut it off it raises no more events and only cleans up its files.
//
// Threads: the owner's thread calls StartCheck, StartDownload (also from the
// handler of UE_VERSION_READY, on the check thread), the accessors and Stop.
// _CheckVersionMain and _DownloadSetupMain run on their own threads and call
// the owner's handler through Notify, never while m_lock is held.
#pragma once

#include "EcdsaP256Key.h"
#include "HttpConnection.h"
#include "InternetException.h"
#include "InternetSession.h"
#include "LocalOutput.h"
#include "UniqueHandle.h"
#include "UpdateEngine.h"
#include "VersionInfo.h"

#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CEngineState : public std::enable_shared_from_this<CEngineState> {
    // The signed download's steps act on the state as the worker itself.
    friend class CSignedDownload;

public:
    // How long Stop gives a cut-off worker to delete its partial file.
    static constexpr DWORD kCutOffGraceMs = 2000;
    static constexpr size_t kLastErrorSize = 1024;
    static constexpr size_t kObjectNameSize = 512;

    CEngineState();
    ~CEngineState();
    CEngineState(const CEngineState&) = delete;
    CEngineState& operator=(const CEngineState&) = delete;

    void SetCallback(UpdateEventCallback pfnCallback, DWORD dwContext, unsigned int nSeed);
    // Before StartCheck only: from then on the workers read the key unlocked.
    bool SetSetupKey(const updater::SetupKey& key);
    bool GetSetupDigest(updater::SetupDigest& digest) const;
    bool StartCheck(const char* pszHost, const char* pszPath, const char* pszFile);
    bool StartDownload(const char* pszAddress);
    void Stop();

    const CVersionInfo& GetVersionInfo() const { return m_versionInfo; }
    // The addresses the owner may pick from: all of DownloadUrls, or with a
    // setup key only its web addresses.
    unsigned GetDownloadUrlCount() const;
    const char* GetDownloadUrl(int nIndex) const;
    std::string GetLastErrorText() const;

private:
    static DWORD WINAPI _CheckVersionMain(LPVOID pParam);
    static DWORD WINAPI _DownloadSetupMain(LPVOID pParam);
    static DWORD RunWorker(LPVOID pParam, void (CEngineState::*work)());
    void CheckVersion();
    void DownloadSetup();
    // With a setup key: the download into "VemliSetup.exe.part", resumed
    // with ranges when the connection ends early (up to kMaxResumptions
    // times in a run, and from the part an earlier run left), renamed to
    // "VemliSetup.exe" once whole and matching its signed digest.
    void DownloadSignedSetup();
    // Pauses before a resumption; false when Stop cut the worker off.
    bool PauseUnlessCutOff(DWORD dwMs);
    // With a setup key: the document's size, digest and expiry carry a
    // signature that verifies for its CurrentVersion, it has not expired, and
    // it names a web address; what was signed is then kept for the download.
    bool VerifyDocumentSignature();

    // How a transfer ended: complete, cut off by Stop (the worker cleans up
    // and ends quietly), or failed with the event that reports it (its error
    // text already set).
    struct TransferEnd {
        enum Kind { Done, CutOff, Failed } kind;
        UINT nEvent;
    };
    // After each block written: the block, its size and the bytes so far;
    // false when the worker has been cut off.
    using BlockHandler = std::function<bool(const char*, UINT, std::uint64_t)>;
    // The one transfer loop of the check and the download: reads `file` to
    // its end into `output` (neither kept nor discarded here) and compares
    // what came with the announced length. More than nLimit bytes end it at
    // once with nLimitEvent, the excess never written.
    TransferEnd Transfer(CUrlFile& file, CLocalOutput& output, bool bAnnounced,
                         std::uint64_t nAnnounced, std::uint64_t nLimit, UINT nLimitEvent,
                         const BlockHandler& onBlock);

    // Calls the owner's handler; false (and no call) once Stop has cut the
    // workers off, which tells the caller to clean up and end quietly.
    bool Notify(UINT nCode, WPARAM wParam = 0, LPARAM lParam = 0);
    bool IsCutOff() const;

    void SetLastErrorText(const char* pszText);
    // The exception's own message, or pszFallback when it has none.
    void SetLastErrorText(const CInternetException& e, const char* pszFallback);

    // A stream a worker reads from, which Stop closes to cut a stalled read
    // short. The worker withdraws it before destroying it.
    void RegisterTransfer(CUrlFile* pFile);
    void WithdrawTransfer(CUrlFile* pFile);

    void LeaveWorker();

    mutable std::mutex m_lock;
    std::condition_variable m_callbacksDone;
    // Threads inside the owner's handler right now.
    std::vector<DWORD> m_callbackThreads;
    std::vector<CUrlFile*> m_transfers;
    int m_nWorkers = 0;
    bool m_bStopping = false;
    bool m_bCutOff = false;
    bool m_bCheckStarted = false;
    CKernelHandle m_hDownloadThread;
    // Set with m_bCutOff: ends a worker's pause at once.
    CKernelHandle m_cutOffEvent;

    UpdateEventCallback m_pfnCallback = nullptr;
    DWORD m_dwContext = 0;
    // rand() keeps its state per thread; each worker seeds its own with this
    // so that the owner's handler draws from the seed SetCallback made.
    unsigned int m_nSeed = 0;
    char m_szLastError[kLastErrorSize];

    // Declared first so that it is destroyed last: its children close first.
    std::unique_ptr<CInternetSession> m_pSession;
    std::unique_ptr<CHttpConnection> m_pConnection;
    std::unique_ptr<CHttpFile> m_pCurrentProcessFile;
    char m_szObjectName[kObjectNameSize];
    CVersionInfo m_versionInfo;
    char m_szDownloadUrl[CUpdateEngine::kMaxDownloadUrl + 1];

    // Set by the owner before the check starts; null: setups are not signed.
    std::unique_ptr<CEcdsaP256Key> m_pSetupKey;
    // Written by the check thread before UE_VERSION_READY and read after it only.
    bool m_bHaveSetupDigest = false;
    CVersionInfo::SignedSetup m_signedSetup;
    std::vector<std::string> m_webUrls;
};
