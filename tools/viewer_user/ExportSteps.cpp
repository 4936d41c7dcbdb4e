#include "ExportSteps.h"

#include "resource.h"

#include <dlgs.h>

#include <cstdio>

namespace viewer_user {

namespace {

constexpr long kDialogWaitMs = 5000;
constexpr long kExportWaitMs = 60000;

struct Search {
    HWND owner;
    int with;    // a control the window must have (0: none)
    int without; // a control it must not have
    HWND found;
};

HWND OwnedDialog(HWND owner, int with, int without) {
    for (HWND w = ::FindWindowExW(nullptr, nullptr, L"#32770", nullptr); w != nullptr;
         w = ::FindWindowExW(nullptr, w, L"#32770", nullptr)) {
        if (::GetWindow(w, GW_OWNER) == owner && ::IsWindowVisible(w) &&
            (with == 0 || ::GetDlgItem(w, with) != nullptr) && ::GetDlgItem(w, without) == nullptr)
            return w;
    }
    return nullptr;
}

HWND WaitForDialog(HWND owner, int with, int without, long waitMs) {
    HWND dialog = OwnedDialog(owner, with, without);
    for (long waited = 0; dialog == nullptr && waited < waitMs; waited += 100) {
        ::Sleep(100);
        dialog = OwnedDialog(owner, with, without);
    }
    return dialog;
}

// The message box's text: its static control with the most text.
std::wstring BoxText(HWND box) {
    std::wstring best;
    for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[16] = {}, text[1024] = {};
        ::GetClassNameW(child, cls, 16);
        if (::lstrcmpiW(cls, L"Static") == 0 && ::GetWindowTextW(child, text, 1024) > 0 &&
            std::wstring(text).size() > best.size())
            best = text;
    }
    return best;
}

void Repaint(HWND window) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

} // namespace

void PressCtrl(HWND frame, WORD key) {
    ::SetForegroundWindow(frame);
    for (int waited = 0; ::GetForegroundWindow() != frame && waited < 1000; waited += 50)
        ::Sleep(50);
    INPUT keys[4] = {};
    const WORD codes[4] = {VK_CONTROL, key, key, VK_CONTROL};
    for (int k = 0; k < 4; ++k) {
        keys[k].type = INPUT_KEYBOARD;
        keys[k].ki.wVk = codes[k];
        keys[k].ki.dwFlags = k < 2 ? 0 : KEYEVENTF_KEYUP;
    }
    ::SendInput(4, keys, sizeof(INPUT));
}

int OpenExportDialog(HWND frame, const std::wstring& folder) {
    // A Find dialog left open is closed first, as a user would.
    if (HWND find = OwnedDialog(frame, edt1, IDC_EXPORT_FORMAT))
        ::SendMessageW(find, WM_COMMAND, IDCANCEL, 0);
    // The keys go to the window that is active when they arrive: the frame
    // once the Find dialog has gone, which may take a moment; a press that
    // went elsewhere is pressed again, as a user would.
    HWND dialog = nullptr;
    for (int attempt = 0; attempt < 3 && dialog == nullptr; ++attempt) {
        PressCtrl(frame, 'E');
        dialog = WaitForDialog(frame, IDC_EXPORT_FORMAT, 0, kDialogWaitMs / 3);
    }
    if (dialog == nullptr) {
        std::fprintf(stderr, "viewer-user: Ctrl+E opened no export dialog\n");
        return 1;
    }
    ::SendMessageW(::GetDlgItem(dialog, IDC_EXPORT_ALL), BM_CLICK, 0, 0);
    ::SendMessageW(::GetDlgItem(dialog, IDC_EXPORT_TARGET), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(folder.c_str()));
    Repaint(dialog);
    std::printf("export dialog open\n");
    return 0;
}

int RunExport(HWND frame, long waitMs) {
    HWND dialog = OwnedDialog(frame, IDC_EXPORT_FORMAT, 0);
    if (dialog == nullptr) {
        std::fprintf(stderr, "viewer-user: no export dialog\n");
        return 1;
    }
    // Posted: the export runs inside the viewer's handling of the click.
    ::PostMessageW(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    HWND box =
        WaitForDialog(frame, 0, IDC_EXPORT_FORMAT, waitMs > kExportWaitMs ? waitMs : kExportWaitMs);
    for (long waited = 0; box != nullptr && ::GetDlgItem(box, IDC_EXPORT_BAR) != nullptr;
         waited += 100) {
        if (waited >= kExportWaitMs) {
            std::fprintf(stderr, "viewer-user: the export did not end\n");
            return 1;
        }
        ::Sleep(100);
        box = WaitForDialog(frame, 0, IDC_EXPORT_FORMAT, kDialogWaitMs);
    }
    if (box == nullptr) {
        std::fprintf(stderr, "viewer-user: no result after the export\n");
        return 1;
    }
    Repaint(box);
    const std::wstring text = BoxText(box);
    char utf8[2048] = {};
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8, sizeof utf8 - 1, nullptr, nullptr);
    std::printf("%s\n", utf8);
    return 0;
}

int DismissExportResult(HWND frame) {
    HWND box = OwnedDialog(frame, IDNO, IDC_EXPORT_FORMAT);
    if (box == nullptr)
        return 1;
    ::PostMessageW(box, WM_COMMAND, IDNO, 0);
    return 0;
}

} // namespace viewer_user
