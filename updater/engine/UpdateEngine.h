// CUpdateEngine: the updater's network side. It fetches the version document
// on its check thread, downloads the setup program on its download thread and
// reports every step through one callback (codes in UpdateEvents.h).
#pragma once

#include "SignedSetup.h"
#include "UpdateEvents.h"

#include <windows.h>

#include <memory>
#include <string>

class CEngineState;

// The owner's handler. Runs on the engine's worker threads, never on the
// owner's thread; must be quick (UE_DOWNLOAD_PROGRESS comes once per 1024-byte block).
using UpdateEventCallback = LONG(CALLBACK*)(UINT nCode, WPARAM wParam, LPARAM lParam,
                                            DWORD dwContext);

class CUpdateEngine {
public:
    // Longest host, request path and file name, terminator excluded.
    static constexpr size_t kMaxServerText = 255;
    // Longest download address, terminator excluded.
    static constexpr size_t kMaxDownloadUrl = 511;
    // How long Stop waits for a running download.
    static constexpr DWORD kStopWaitMs = 5000;

    CUpdateEngine();
    // Stops the engine if the owner did not.
    ~CUpdateEngine();
    CUpdateEngine(const CUpdateEngine&) = delete;
    CUpdateEngine& operator=(const CUpdateEngine&) = delete;

    // Each text is copied when it fits in 255 bytes; null empties it; a longer
    // one leaves the member as it was. Call before SetCallback.
    void SetServer(const char* pszHost, const char* pszPath, const char* pszFile);

    // Registers the handler once and seeds rand(). Returns the ready flag (host,
    // path and file all non-empty); false without change when a handler is
    // already registered or pfnCallback is null.
    bool SetCallback(UpdateEventCallback pfnCallback, DWORD dwContext);

    // Asks for signed setups: the version document must carry SetupSize,
    // SetupSHA256 and a SetupSignature that this key verifies, be unexpired
    // and name a web address (else UE_VERSION_INVALID); the download must be
    // that size and digest (else UE_CONNECTION_LOST, the file deleted), and
    // is resumed with ranges when its connection ends early. False when the
    // platform refuses the key. Call before StartCheck.
    bool SetSetupKey(const updater::SetupKey& key);
    // The digest the signature vouched for; false before UE_VERSION_READY or without
    // a setup key.
    bool GetSetupDigest(updater::SetupDigest& digest) const;

    // Creates the internet session and the connection to the host on port 80,
    // then starts _CheckVersionMain. False (no event) when not ready, the
    // connection cannot be set up or the thread cannot start.
    bool StartCheck();

    // The version document's CurrentVersion text; "" before UE_VERSION_READY.
    const char* GetCurrentVersion() const;
    // Number of entries of section DownloadUrls (0 before UE_VERSION_READY).
    unsigned GetDownloadUrlCount() const;
    // Address number nIndex in ascending key order; null for a bad index or an
    // entry without value. The text lives as long as the engine.
    const char* GetDownloadUrl(int nIndex) const;

    // Starts _DownloadSetupMain for pszAddress (at most 511 bytes; a longer
    // one ends the download with UE_DOWNLOAD_CONNECT_FAILED). False (no event) when the thread
    // cannot start, the engine is stopped or a download was already started.
    bool StartDownload(const char* pszAddress);

    // Waits at most 5,000 ms for a running download, then releases the
    // internet objects. A worker still running after that is cut off: its
    // reads are aborted, it raises no more events and it frees what it uses
    // itself. Safe to call more than once; the engine stays stopped.
    void Stop();

    bool IsReady() const { return m_bReady; }
    // Description of the last failure (empty when none); a copy, so it may be
    // read from any thread.
    std::string GetLastErrorText() const;

private:
    char m_szServer[kMaxServerText + 1];
    char m_szPath[kMaxServerText + 1];
    char m_szFile[kMaxServerText + 1];
    bool m_bCallbackSet = false;
    bool m_bReady = false;
    bool m_bStopped = false;
    // What the worker threads touch lives here and is shared with them, so
    // that a thread outliving Stop never reaches into a freed engine.
    std::shared_ptr<CEngineState> m_pState;
};
