// CGuardLauncher: the updater's side of the guard. Before the client is
// asked to quit it makes the guard's fresh folder under the temporary folder
// with a copy of updater.exe (and, for a signed setup, the setup itself);
// then it starts that copy as the guard, handing it the updater's process,
// the instance mutex and the held setup as inherited handles. A guard that
// never started takes its folder with it.
#pragma once

#include "GuardOrder.h"
#include "UpdaterConstants.h"

#include <windows.h>

#include <cstddef>

class CGuardLauncher {
public:
    CGuardLauncher() = default;
    ~CGuardLauncher();
    CGuardLauncher(const CGuardLauncher&) = delete;
    CGuardLauncher& operator=(const CGuardLauncher&) = delete;

    // The folder and the copy of our own executable; false (and nothing
    // left) when either cannot be made.
    bool Prepare();
    bool IsPrepared() const { return m_szExe[0] != '\0'; }

    // Moves the file at `path` into the guard's folder under its own name and
    // puts the new path in `path`; false when it stays where it was.
    bool AdoptSetup(char* path, std::size_t size);

    // Starts the guard with `order` (its handles are filled in here from
    // `instanceMutex` and `heldSetup`, null for none). False when it did not
    // start; the caller then hands over itself.
    bool Start(updater::GuardOrder order, HANDLE instanceMutex, HANDLE heldSetup);

private:
    bool CreateGuardProcess(char* commandLine, HANDLE* handles, DWORD count);

    char m_szFolder[updater::kPathSize] = "";
    char m_szExe[updater::kPathSize] = "";
    bool m_bStarted = false;
};
