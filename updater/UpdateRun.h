// One run of the updater: asks the update server for a newer client and,
// when there is one, hands the downloaded setup over to run silently.
#pragma once

#include "PseudoRandom.h"
#include "ServerConfig.h"
#include "UniqueHandle.h"
#include "UpdateEngine.h"
#include "UpdaterConstants.h"

#include <windows.h>

#include <atomic>
#include <cstdint>

class CGuardLauncher;
class CHeldSetup;

// One run of the updater. The engine's events arrive on its worker threads,
// which write the outcome before they signal the wake-up event; the main
// thread reads it only after its wait returned.
class CUpdateRun {
public:
    void Run();

private:
    // The engine's handler takes a 32-bit context, too small for a pointer on
    // 64-bit Windows: the run it serves is found here instead, set for the
    // run's duration only.
    static CUpdateRun* s_pActive;
    static LONG CALLBACK OnUpdateEvent(UINT nCode, WPARAM wParam, LPARAM lParam, DWORD context);

    bool IsOnlyUpdater();
    void EnterOwnFolder();
    bool LoadConfiguration();
    bool ReadClientVersion();
    bool StartVersionCheck();
    void WaitForEngine();
    void InstallDownloadedSetup();

    // On the engine's threads.
    void OnEvent(UINT nCode, WPARAM wParam);
    void DecideOnVersion();
    bool FailedBefore(std::uint32_t serverVersion);
    void WakeMainThread();

    bool HoldSignedSetup(CHeldSetup& heldSetup, CGuardLauncher& guard);
    void HandOverToSetup(CGuardLauncher& guard, const CHeldSetup& heldSetup);

    CKernelHandle m_instanceMutex;
    char m_szFolder[updater::kPathSize] = "";
    CServerConfig m_config;
    CKernelHandle m_wakeUp;
    // Declared after the event, so that the engine stops before it closes:
    // after Stop no worker raises events, so none can signal a closed (or
    // reused) handle.
    CUpdateEngine m_engine;
    std::uint32_t m_clientVersion = 0;
    // Written by the check thread before it starts the download.
    std::uint32_t m_serverVersion = 0;
    CPseudoRandom m_random;
    char m_szSetupPath[updater::kPathSize] = "";
    std::atomic<bool> m_bSetupReady{false};
    char m_szSetupArguments[updater::kSetupArgumentsSize] = "";
};
