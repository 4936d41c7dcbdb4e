// The updater's part of the hand-over on the real system: client windows,
// the guard's start, and (where no guard started) files and the setup's
// process.
#pragma once

#include "GuardOrder.h"
#include "HandOver.h"
#include "WinClientFiles.h"

#include <windows.h>

class CGuardLauncher;

class CWinHandOver : public CWinClientFiles<CHandOver> {
public:
    CWinHandOver() = default;
    // With a prepared guard: it is started with `order` (what it needs
    // besides the client's answer), the instance mutex and the held setup.
    CWinHandOver(CGuardLauncher* pGuard, const updater::GuardOrder& order, HANDLE instanceMutex,
                 HANDLE heldSetup);

protected:
    bool CloseClient() override;
    void PauseForClient() override;
    bool StartGuard(bool clientAgreed) override;
    bool StartSetup(const char* path, const char* arguments) override;

private:
    CGuardLauncher* m_pGuard = nullptr;
    updater::GuardOrder m_order;
    HANDLE m_instanceMutex = nullptr;
    HANDLE m_heldSetup = nullptr;
    ULONGLONG m_askedAt = 0;
};
