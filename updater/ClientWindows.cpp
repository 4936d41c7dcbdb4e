#include "ClientWindows.h"

#include "DebugTrace.h"
#include "TextRules.h"
#include "UpdaterConstants.h"

#include <windows.h>

namespace updater {

namespace {

BOOL CALLBACK AskClientWindow(HWND hWnd, LPARAM agreed) {
    char title[updater::kPathSize];
    if (GetWindowTextA(hWnd, title, sizeof title) <= 0) {
        return TRUE;
    }
    if (updater::CompareNoCase(title, updater::kClientWindowTitle) != 0) {
        return TRUE;
    }
    // The client answers non-zero when it agrees to end; only then does it
    // get WM_QUIT. Every matching window is asked, so enumeration goes on.
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(hWnd, updater::kClientQuitQuery, 0, 0, SMTO_ABORTIFHUNG,
                             updater::kClientAnswerTimeoutMs, &answer)) {
        DebugTrace("client window \"%s\" did not answer (hung or too slow): taken as a refusal",
                   title);
        return TRUE;
    }
    DebugTrace("client window \"%s\" answered %lld%s", title, static_cast<long long>(answer),
               answer != 0 ? ", WM_QUIT posted" : "");
    if (answer != 0) {
        PostMessageA(hWnd, WM_QUIT, 0, 0);
        *reinterpret_cast<bool*>(agreed) = true;
    }
    return TRUE;
}

} // namespace

bool CloseRunningClient() {
    bool agreed = false;
    EnumWindows(AskClientWindow, reinterpret_cast<LPARAM>(&agreed));
    return agreed;
}

} // namespace updater
