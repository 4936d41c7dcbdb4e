#include "WinHandOver.h"

#include "ClientWindows.h"
#include "DebugTrace.h"
#include "SetupLauncher.h"
#include "UpdaterConstants.h"

#include <windows.h>

void CWinHandOver::CloseClient() {
    updater::CloseRunningClient();
}

void CWinHandOver::PauseForClient() {
    updater::DebugTrace("pausing %lu ms for the client to end", updater::kClientExitPauseMs);
    Sleep(updater::kClientExitPauseMs);
}

bool CWinHandOver::FileExists(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool CWinHandOver::CopyToNew(const char* from, const char* to) {
    // Fails when `to` exists: a file that appeared since the name was chosen
    // is not ours to overwrite.
    const bool ok = CopyFileA(from, to, TRUE) != FALSE;
    updater::DebugTrace("copy of %s kept as %s: %s", from, to, ok ? "yes" : "no");
    return ok;
}

bool CWinHandOver::Remove(const char* path) {
    const bool ok = DeleteFileA(path) != FALSE;
    updater::DebugTrace("delete %s: %s", path, ok ? "done" : "failed");
    return ok;
}

bool CWinHandOver::Rename(const char* from, const char* to) {
    const bool ok = MoveFileA(from, to) != FALSE;
    updater::DebugTrace("put %s back as %s: %s", from, to, ok ? "done" : "failed");
    return ok;
}

bool CWinHandOver::StartSetup(const char* path, const char* arguments) {
    return updater::RunSetup(path, arguments);
}
