#include "CWinHandOver.h"

#include "ClientWindows.h"
#include "SetupLauncher.h"
#include "UpdaterConstants.h"

#include <windows.h>

void CWinHandOver::CloseClient() {
    CloseRunningClient();
}

void CWinHandOver::PauseForClient() {
    Sleep(updater::kClientExitPauseMs);
}

bool CWinHandOver::FileExists(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool CWinHandOver::CopyTo(const char* from, const char* to) {
    return CopyFileA(from, to, FALSE) != FALSE;
}

bool CWinHandOver::Remove(const char* path) {
    return DeleteFileA(path) != FALSE;
}

bool CWinHandOver::Rename(const char* from, const char* to) {
    return MoveFileA(from, to) != FALSE;
}

bool CWinHandOver::StartSetup(const char* path, const char* arguments) {
    return RunSetup(path, arguments);
}
