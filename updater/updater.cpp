// updater.exe: started by the client with its packed version ("-v<number>"),
// asks the update server for a newer client, and when there is one hands the
// downloaded setup over to run silently into this folder. No window, no
// message, exit code 0 whatever happens.
#include "CHeldSetup.h"
#include "UniqueHandle.h"
#include "CPseudoRandom.h"
#include "CServerConfig.h"
#include "CUpdateEngine.h"
#include "CWinHandOver.h"
#include "DebugTrace.h"
#include "CommandLine.h"
#include "ParseVersion.h"
#include "UpdateDecision.h"
#include "UpdaterConstants.h"
#include "UpdaterPaths.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <ctime>

namespace {

// Process-wide state. The configuration and the engine live from before the
// entry point to after it; the rest is written by OnUpdateEvent on a worker
// thread before it signals the wake-up event, and read by the main thread
// only after its wait returned.
CServerConfig g_config;
CUpdateEngine g_engine;
HANDLE g_hWakeUp = nullptr;
std::uint32_t g_clientVersion = 0;
updater::CPseudoRandom g_random;
char g_szSetupPath[updater::kPathSize] = "";
volatile LONG g_setupReady = 0;
char g_szSetupArguments[updater::kSetupArgumentsSize] = "";

void wakeMainThread() {
    if (g_hWakeUp != nullptr) {
        SetEvent(g_hWakeUp);
    }
}

// Event 5: is the server's version newer, and which address to fetch.
void decideOnVersion() {
    const std::uint32_t serverVersion = ParseVersion(g_engine.GetCurrentVersion());
    const updater::UpdateChoice choice = updater::DecideUpdate(
        g_clientVersion, serverVersion, g_engine.GetDownloadUrlCount(), g_random.Next());
    DebugTrace("server version \"%s\" (0x%08X), client 0x%08X: %s", g_engine.GetCurrentVersion(),
               static_cast<unsigned>(serverVersion), static_cast<unsigned>(g_clientVersion),
               choice.download ? "newer" : "nothing to do");
    if (!choice.download) {
        wakeMainThread();
        return;
    }
    const char* address = g_engine.GetDownloadUrl(static_cast<int>(choice.addressIndex));
    DebugTrace("address %u of %u: %s", choice.addressIndex + 1, g_engine.GetDownloadUrlCount(),
               address != nullptr ? address : "(none)");
    if (address == nullptr) {
        wakeMainThread();
        return;
    }
    // The download's own events end the wait from here on.
    g_engine.StartDownload(address);
}

// Runs on the engine's check and download threads (never the main thread).
LONG CALLBACK OnUpdateEvent(UINT nCode, WPARAM wParam, LPARAM, DWORD) {
    switch (nCode) {
    case UE_VERSION_READY:
        decideOnVersion();
        break;
    case UE_DOWNLOAD_DONE: {
        const char* path = reinterpret_cast<const char*>(wParam);
        if (path != nullptr && std::strlen(path) < sizeof g_szSetupPath) {
            std::memcpy(g_szSetupPath, path, std::strlen(path) + 1);
            g_setupReady = 1;
            DebugTrace("setup downloaded to %s", path);
        }
        wakeMainThread();
        break;
    }
    case UE_SEND_FAILED:
    case UE_VERSION_FILE_MISSING:
    case UE_LOCAL_FILE_FAILED:
    case UE_VERSION_INVALID:
    case UE_DOWNLOAD_CONNECT_FAILED:
    case UE_SETUP_MISSING:
    case UE_CONNECTION_LOST:
        DebugTrace("engine event %u ends the run: %s", nCode, g_engine.GetLastErrorText().c_str());
        wakeMainThread();
        break;
    default: // 1, 7, 10, 11 and unknown codes: progress only
        break;
    }
    return 0;
}

bool namesFile(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Closes the client and swaps its executable for the setup's run. A folder
// too long to name the client in still gets its setup: only the executable
// then stays untouched.
void handOverToSetup() {
    char folder[updater::kPathSize];
    const DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
    char clientPath[updater::kPathSize];
    const bool named =
        length > 0 && length < sizeof folder &&
        updater::JoinPath(folder, updater::kClientExeName, clientPath, sizeof clientPath);
    DebugTrace("handing over to the setup, arguments \"%s\"", g_szSetupArguments);
    CWinHandOver handOver;
    handOver.Run(named ? clientPath : nullptr, g_szSetupPath, g_szSetupArguments);
}

// With a publisher key the setup is started only as the bytes it signed:
// checked through a handle that denies writing and deleting, held by the
// caller until the setup has started. A file changed after its download is
// not ours any more and goes.
bool holdSignedSetup(CHeldSetup& heldSetup) {
    if (!g_config.HasSetupKey()) {
        return true;
    }
    vemli::SetupDigest digest;
    if (g_engine.GetSetupDigest(digest) && heldSetup.OpenVerified(g_szSetupPath, digest)) {
        DebugTrace("setup matches its signed SHA-256; held until it has started");
        return true;
    }
    DebugTrace("setup changed since its download: not started");
    DeleteFileA(g_szSetupPath);
    return false;
}

void runUpdate() {
    // 1. One updater at a time.
    CKernelHandle mutex(CreateMutexA(nullptr, FALSE, updater::kInstanceMutexName));
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        DebugTrace("another updater is running");
        return;
    }

    // 2, 3. Our own folder becomes the current one and the setup's target.
    char modulePath[updater::kPathSize];
    char folder[updater::kPathSize] = "";
    const DWORD moduleLength = GetModuleFileNameA(nullptr, modulePath, sizeof modulePath);
    if (moduleLength > 0 && moduleLength < sizeof modulePath &&
        updater::FolderOfModule(modulePath, folder, sizeof folder)) {
        SetCurrentDirectoryA(folder);
    }
    updater::FormatSetupArguments(folder, g_szSetupArguments, sizeof g_szSetupArguments);

    // 4.
    if (!g_config.Load(updater::kConfigPath)) {
        DebugTrace("no usable %s in %s", updater::kConfigPath, folder);
        return;
    }
    // A key the platform refuses makes Server.ini as unusable as a malformed
    // one: the publisher asked for signed setups, so none unsigned may run.
    if (g_config.HasSetupKey() && !g_engine.SetSetupKey(g_config.GetSetupKey())) {
        DebugTrace("SetupKey of %s refused by the platform", updater::kConfigPath);
        return;
    }
    // 5.
    SetErrorMode(SEM_NOGPFAULTERRORBOX);
    // 6.
    CKernelHandle wakeUp(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    if (!wakeUp.IsValid()) {
        return;
    }
    g_hWakeUp = wakeUp.Get();

    // 7, 8.
    if (!updater::ReadClientVersion(updater::SkipProgramName(GetCommandLineA()), g_clientVersion)) {
        g_hWakeUp = nullptr;
        return;
    }

    // 9, 10.
    g_engine.SetServer(g_config.GetUpdateServer(), g_config.GetUpdatePath(),
                       g_config.GetUpdateFile());
    if (!g_engine.SetCallback(OnUpdateEvent, 0)) {
        DebugTrace("update engine not ready (Update Server, Path or File empty or too long)");
        g_hWakeUp = nullptr;
        return;
    }
    // 11, 12. Without a started check no event comes and the wait runs out.
    g_random.Seed(static_cast<std::uint32_t>(std::time(nullptr)));
    DebugTrace("client version 0x%08X; asking %s for %s%s", static_cast<unsigned>(g_clientVersion),
               g_config.GetUpdateServer(), g_config.GetUpdatePath(), g_config.GetUpdateFile());
    if (!g_engine.StartCheck()) {
        DebugTrace("version check did not start: %s", g_engine.GetLastErrorText().c_str());
    }

    // 13.
    WaitForSingleObject(wakeUp.Get(), updater::kEngineWaitMs);

    // 14.
    if (g_setupReady == 1 && namesFile(g_szSetupPath)) {
        CHeldSetup heldSetup;
        if (holdSignedSetup(heldSetup)) {
            handOverToSetup();
        }
    }

    // 15. The engine stops before the event closes: after Stop no worker
    // raises events, so none can signal a closed (or reused) handle.
    g_engine.Stop();
    g_hWakeUp = nullptr;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Exit code 0 whatever happens, even should memory run out.
    try {
        runUpdate();
    } catch (...) {
        DebugTrace("run ended by an exception");
    }
    return 0;
}
