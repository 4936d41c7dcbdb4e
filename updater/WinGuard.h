// The guard on the real system: a copy of updater.exe started from its own
// fresh folder under the temporary folder with the guard's arguments, its
// handles inherited from the updater (GuardOrder.h).
#pragma once

#include "Guard.h"
#include "GuardOrder.h"
#include "UniqueHandle.h"
#include "WinClientFiles.h"

class CWinGuard : public CWinClientFiles<CGuard> {
public:
    explicit CWinGuard(const updater::GuardOrder& order);
    // Takes over the handles and runs the guard's sequence.
    void Run();

protected:
    bool StartSetup(const char* path, const char* arguments) override;
    void WaitForUpdater() override;
    bool WaitForSetup() override;
    void RecordFailure() override;
    void ReleaseInstance() override;
    void RestartClient(const char* clientPath) override;

private:
    void RemoveOwnSetup();

    updater::GuardOrder m_order;
    CKernelHandle m_updater;
    CKernelHandle m_instanceMutex;
    CKernelHandle m_heldSetup;
    CKernelHandle m_setup;
};

namespace updater {

// The guard's whole run, from its arguments (after the program name).
void RunGuard(const char* arguments);

} // namespace updater
