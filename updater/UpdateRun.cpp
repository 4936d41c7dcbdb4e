#include "UpdateRun.h"

#include "CommandLine.h"
#include "DebugTrace.h"
#include "FailedSetupFile.h"
#include "GuardFolder.h"
#include "GuardLauncher.h"
#include "HeldSetup.h"
#include "ParseVersion.h"
#include "SetupLauncher.h"
#include "TextRules.h"
#include "UpdateDecision.h"
#include "UpdaterPaths.h"
#include "WinHandOver.h"

#include <cstring>
#include <ctime>
#include <string>
#include <utility>

namespace {

// Runs `action` on every way out of the scope it lives in.
template <class Action> class CScopeExit {
public:
    explicit CScopeExit(Action action) : m_action(std::move(action)) {}
    ~CScopeExit() { m_action(); }
    CScopeExit(const CScopeExit&) = delete;
    CScopeExit& operator=(const CScopeExit&) = delete;

private:
    Action m_action;
};

} // namespace

CUpdateRun* CUpdateRun::s_pActive = nullptr;

void CUpdateRun::Run() {
    s_pActive = this;
    // Every way out: no handler call is in flight once the engine has
    // stopped, so nothing reaches this run after it.
    CScopeExit leave([this] {
        m_engine.Stop();
        s_pActive = nullptr;
    });

    if (!IsOnlyUpdater()) {
        return;
    }
    // A guard holds the instance mutex while it runs: whatever guard folder
    // is left now belongs to one that has ended.
    updater::ClearGuardFolders();
    EnterOwnFolder();
    if (!LoadConfiguration()) {
        return;
    }
    SetErrorMode(SEM_NOGPFAULTERRORBOX);
    m_wakeUp.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    if (!m_wakeUp.IsValid() || !ReadClientVersion() || !StartVersionCheck()) {
        return;
    }
    WaitForEngine();
    InstallDownloadedSetup();
}

bool CUpdateRun::IsOnlyUpdater() {
    m_instanceMutex.Reset(CreateMutexA(nullptr, FALSE, updater::kInstanceMutexName));
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        updater::DebugTrace("another updater is running");
        return false;
    }
    return true;
}

// Our own folder becomes the current one and the setup's target.
void CUpdateRun::EnterOwnFolder() {
    char modulePath[updater::kPathSize];
    const DWORD moduleLength = GetModuleFileNameA(nullptr, modulePath, sizeof modulePath);
    if (moduleLength > 0 && moduleLength < sizeof modulePath &&
        updater::FolderOfModule(modulePath, m_szFolder, sizeof m_szFolder)) {
        SetCurrentDirectoryA(m_szFolder);
    }
    updater::FormatSetupArguments(m_szFolder, m_szSetupArguments, sizeof m_szSetupArguments);
}

bool CUpdateRun::LoadConfiguration() {
    if (!m_config.Load(updater::kConfigPath)) {
        if (m_config.GetStraySetupKeyLine() != 0) {
            updater::DebugTrace("%s line %u: a SetupKey that is not [Update]'s first SetupKey, "
                                "so it would not be read; the file is not used",
                                updater::kConfigPath, m_config.GetStraySetupKeyLine());
        } else {
            updater::DebugTrace("no usable %s in %s", updater::kConfigPath, m_szFolder);
        }
        return false;
    }
    // A key the platform refuses makes Server.ini as unusable as a malformed
    // one: the publisher asked for signed setups, so none unsigned may run.
    if (m_config.HasSetupKey() && !m_engine.SetSetupKey(m_config.GetSetupKey())) {
        updater::DebugTrace("SetupKey of %s refused by the platform", updater::kConfigPath);
        return false;
    }
    return true;
}

bool CUpdateRun::ReadClientVersion() {
    return updater::ReadClientVersion(updater::SkipProgramName(GetCommandLineA()), m_clientVersion);
}

// Without a started check no event comes and the wait runs out; so only an
// engine that cannot take the server ends the run here.
bool CUpdateRun::StartVersionCheck() {
    m_engine.SetServer(m_config.GetUpdateServer(), m_config.GetUpdatePath(),
                       m_config.GetUpdateFile());
    if (!m_engine.SetCallback(OnUpdateEvent, 0)) {
        updater::DebugTrace(
            "update engine not ready (Update Server, Path or File empty or too long)");
        return false;
    }
    m_random.Seed(static_cast<std::uint32_t>(std::time(nullptr)));
    updater::DebugTrace("client version 0x%08X; asking %s for %s%s",
                        static_cast<unsigned>(m_clientVersion), m_config.GetUpdateServer(),
                        m_config.GetUpdatePath(), m_config.GetUpdateFile());
    if (!m_engine.StartCheck()) {
        updater::DebugTrace("version check did not start: %s", m_engine.GetLastErrorText().c_str());
    }
    return true;
}

void CUpdateRun::WaitForEngine() {
    WaitForSingleObject(m_wakeUp.Get(), updater::kEngineWaitMs);
}

void CUpdateRun::InstallDownloadedSetup() {
    if (!m_bSetupReady || !updater::NamesFile(m_szSetupPath)) {
        return;
    }
    // Made before the client is asked, so that a guard that cannot be made
    // costs nothing but the guard.
    CGuardLauncher guard;
    guard.Prepare();
    CHeldSetup heldSetup;
    if (HoldSignedSetup(heldSetup, guard)) {
        HandOverToSetup(guard, heldSetup);
    }
}

// Runs on the engine's check and download threads (never the main thread).
LONG CALLBACK CUpdateRun::OnUpdateEvent(UINT nCode, WPARAM wParam, LPARAM, DWORD) {
    if (s_pActive != nullptr) {
        s_pActive->OnEvent(nCode, wParam);
    }
    return 0;
}

void CUpdateRun::OnEvent(UINT nCode, WPARAM wParam) {
    switch (nCode) {
    case UE_VERSION_READY:
        DecideOnVersion();
        break;
    case UE_DOWNLOAD_DONE: {
        const char* path = reinterpret_cast<const char*>(wParam);
        if (path != nullptr &&
            updater::CopyFittingText(m_szSetupPath, sizeof m_szSetupPath, path)) {
            m_bSetupReady = true;
            updater::DebugTrace("setup downloaded to %s", path);
        }
        WakeMainThread();
        break;
    }
    default:
        // Besides the failures only progress (started, receiving, a block)
        // and unknown codes come here: nothing to do.
        if (updater::IsFailureEvent(nCode)) {
            updater::DebugTrace("engine event %u ends the run: %s", nCode,
                                m_engine.GetLastErrorText().c_str());
            WakeMainThread();
        }
        break;
    }
}

void CUpdateRun::WakeMainThread() {
    if (m_wakeUp.IsValid()) {
        SetEvent(m_wakeUp.Get());
    }
}

// UE_VERSION_READY: is the server's version newer, and which address to fetch.
void CUpdateRun::DecideOnVersion() {
    const std::uint32_t serverVersion = updater::ParseVersion(m_engine.GetCurrentVersion());
    const updater::UpdateChoice choice = updater::DecideUpdate(
        m_clientVersion, serverVersion, m_engine.GetDownloadUrlCount(), m_random.Next());
    updater::DebugTrace("server version \"%s\" (0x%08X), client 0x%08X: %s",
                        m_engine.GetCurrentVersion(), static_cast<unsigned>(serverVersion),
                        static_cast<unsigned>(m_clientVersion),
                        choice.download ? "newer" : "nothing to do");
    if (!choice.download || FailedBefore(serverVersion)) {
        WakeMainThread();
        return;
    }
    m_serverVersion = serverVersion;
    const char* address = m_engine.GetDownloadUrl(static_cast<int>(choice.addressIndex));
    updater::DebugTrace("address %u of %u: %s", choice.addressIndex + 1,
                        m_engine.GetDownloadUrlCount(), address != nullptr ? address : "(none)");
    if (address == nullptr) {
        WakeMainThread();
        return;
    }
    // The download's own events end the wait from here on.
    m_engine.StartDownload(address);
}

// A setup that left no client is not handed over again for a day, so the
// client is not closed at every start for a setup that fails every time.
bool CUpdateRun::FailedBefore(std::uint32_t serverVersion) {
    std::string record;
    if (!updater::ReadFailedSetupFile(record)) {
        return false;
    }
    updater::SetupDigest digest;
    const std::string digestHex = m_config.HasSetupKey() && m_engine.GetSetupDigest(digest)
                                      ? updater::HexText(digest.data(), digest.size())
                                      : std::string();
    if (!updater::RecordHoldsBack(record, serverVersion, digestHex,
                                  static_cast<std::int64_t>(std::time(nullptr)))) {
        return false;
    }
    updater::DebugTrace("this setup left no client less than 24 hours ago: not handed over again "
                        "before then");
    return true;
}

// With a publisher key the setup is started only as the bytes it signed:
// checked through a handle that denies writing and deleting, held until the
// setup has started (by the guard, which inherits the handle). It runs from
// the guard's own folder, where no other program can have put a DLL for it
// to load. A file changed after its download is not ours any more and goes.
bool CUpdateRun::HoldSignedSetup(CHeldSetup& heldSetup, CGuardLauncher& guard) {
    if (!m_config.HasSetupKey()) {
        return true;
    }
    guard.AdoptSetup(m_szSetupPath, sizeof m_szSetupPath);
    updater::SetupDigest digest;
    if (m_engine.GetSetupDigest(digest) && heldSetup.OpenVerified(m_szSetupPath, digest)) {
        updater::DebugTrace("setup matches its signed SHA-256; held until it has started");
        return true;
    }
    updater::DebugTrace("setup changed since its download: not started");
    DeleteFileA(m_szSetupPath);
    return false;
}

// Closes the client and swaps its executable for the setup's run, through
// the guard where there is one. A folder too long to name the client in
// still gets its setup: only the executable then stays untouched.
void CUpdateRun::HandOverToSetup(CGuardLauncher& guard, const CHeldSetup& heldSetup) {
    char folder[updater::kPathSize];
    const DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
    char clientPath[updater::kPathSize];
    const bool named =
        length > 0 && length < sizeof folder &&
        updater::JoinPath(folder, updater::kClientExeName, clientPath, sizeof clientPath);
    updater::GuardOrder order;
    order.version = m_serverVersion;
    updater::SetupDigest digest;
    if (m_config.HasSetupKey() && m_engine.GetSetupDigest(digest)) {
        order.digestHex = updater::HexText(digest.data(), digest.size());
    }
    order.setupPath = m_szSetupPath;
    order.setupArguments = m_szSetupArguments;
    order.installFolder = named ? folder : "";
    updater::DebugTrace("handing over to the setup, arguments \"%s\"", m_szSetupArguments);
    CWinHandOver handOver(&guard, order, m_instanceMutex.Get(), heldSetup.Handle());
    handOver.Run(named ? clientPath : nullptr, m_szSetupPath, m_szSetupArguments);
}
