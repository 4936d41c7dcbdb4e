#include "WinHandOver.h"

#include "ClientWindows.h"
#include "DebugTrace.h"
#include "GuardLauncher.h"
#include "SetupLauncher.h"
#include "UpdaterConstants.h"

CWinHandOver::CWinHandOver(CGuardLauncher* pGuard, const updater::GuardOrder& order,
                           HANDLE instanceMutex, HANDLE heldSetup)
    : m_pGuard(pGuard), m_order(order), m_instanceMutex(instanceMutex), m_heldSetup(heldSetup) {}

bool CWinHandOver::CloseClient() {
    const bool agreed = updater::CloseRunningClient();
    m_askedAt = GetTickCount64();
    return agreed;
}

// The client's pause counts from its answer: whatever ran since (the guard's
// start) is part of it.
void CWinHandOver::PauseForClient() {
    const ULONGLONG elapsed = GetTickCount64() - m_askedAt;
    const ULONGLONG pause =
        elapsed < updater::kClientExitPauseMs ? updater::kClientExitPauseMs - elapsed : 0;
    updater::DebugTrace("pausing %llu ms for the client to end", pause);
    Sleep(static_cast<DWORD>(pause));
}

bool CWinHandOver::StartGuard(bool clientAgreed) {
    if (m_pGuard == nullptr || !m_pGuard->IsPrepared()) {
        return false;
    }
    m_order.clientAgreed = clientAgreed;
    if (m_pGuard->Start(m_order, m_instanceMutex, m_heldSetup)) {
        return true;
    }
    updater::DebugTrace("no guard: handing over without one, the copy of the client is kept");
    return false;
}

bool CWinHandOver::StartSetup(const char* path, const char* arguments) {
    return updater::RunSetup(path, arguments);
}
