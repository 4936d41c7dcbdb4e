// viewer-user: plays the user at a running viewer. Finds the window captioned
// 信息管理器, then its message table, and presses keys there as a user would.
//
//   viewer-user select-row N   Home, then Down N times: row N (from 0) becomes
//                              the selection and its text is shown; returns
//                              once the row is selected and the window painted
//   viewer-user find TEXT      Ctrl+F on the viewer opens its Find dialog, TEXT
//                              is typed into the dialog's field (the dialog
//                              moved below the frame if the screen has room,
//                              as a user drags it aside) and Enter
//                              presses 查找下一个; returns once the selection
//                              has moved (printing the row found) and the
//                              window is painted, leaving the dialog open
//   viewer-user export-dialog FOLDER
//                              Ctrl+E opens 导出聊天记录; 所有好友 chosen and
//                              FOLDER typed into 保存到, the dialog left open
//   viewer-user export-run     presses 导出, waits for the export's result
//                              and prints it, leaving the message open
//   viewer-user export-dismiss answers the result message with 否
//   --wait MS                  keep looking for the table for up to MS ms
//
// Only input goes over, posted or sent as the keyboard would deliver it;
// nothing reaches into the viewer's memory, so it works from another process.
#include "ExportSteps.h"
#include "ViewerMessages.h"
#include "resource.h"

#include <windows.h>

#include <commctrl.h>
#include <dlgs.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

namespace {

// How long the keys may take to move the selection at least.
constexpr long kSelectWaitMs = 5000;
// How long the Find dialog may take to open after Ctrl+F.
constexpr long kDialogWaitMs = 5000;
// The class of the system's dialog boxes (the Find dialog, message boxes).
constexpr wchar_t kDialogClass[] = L"#32770";

int Usage() {
    std::fprintf(stderr, "usage: viewer-user [--wait MS] select-row N | find TEXT | export-dialog "
                         "FOLDER | export-run | export-dismiss\n");
    return 2;
}

bool ParseNumber(const wchar_t* text, long& value) {
    if (text == nullptr || *text == L'\0')
        return false;
    wchar_t* end = nullptr;
    value = std::wcstol(text, &end, 10);
    return end != nullptr && *end == L'\0' && value >= 0;
}

// The message table: the list control with its id somewhere below the frame.
BOOL CALLBACK MatchTable(HWND child, LPARAM param) {
    wchar_t cls[64] = {};
    ::GetClassNameW(child, cls, 64);
    if (::GetDlgCtrlID(child) == IDC_MESSAGE_LIST && std::wcscmp(cls, L"SysListView32") == 0) {
        *reinterpret_cast<HWND*>(param) = child;
        return FALSE;
    }
    return TRUE;
}

HWND FindTable() {
    HWND frame = ::FindWindowW(nullptr, kViewerCaption);
    HWND table = nullptr;
    if (frame != nullptr)
        ::EnumChildWindows(frame, MatchTable, reinterpret_cast<LPARAM>(&table));
    return table;
}

// A dialog box owned by `owner`: with a text field edt1 (the Find dialog) or
// without one (a message box).
HWND FindOwnedDialog(HWND owner, bool withField) {
    for (HWND dialog = ::FindWindowExW(nullptr, nullptr, kDialogClass, nullptr); dialog != nullptr;
         dialog = ::FindWindowExW(nullptr, dialog, kDialogClass, nullptr)) {
        if (::GetWindow(dialog, GW_OWNER) == owner && ::IsWindowVisible(dialog) &&
            (::GetDlgItem(dialog, edt1) != nullptr) == withField)
            return dialog;
    }
    return nullptr;
}

// Keys go through the queue, as typed keys do; a sent message waits for the
// viewer, so that the next key finds the previous one handled.
void Press(HWND window, WPARAM key) {
    ::PostMessageW(window, WM_KEYDOWN, key, 1);
    ::PostMessageW(window, WM_KEYUP, key, 0xC0000001);
    ::SendMessageW(window, WM_NULL, 0, 0);
}

long SelectedRow(HWND table) {
    return static_cast<long>(
        ::SendMessageW(table, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

// Everything the last input changed is painted, so that whoever looks next
// (a screenshot) sees the result.
void Repaint(HWND window) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

int SelectRow(HWND table, long row, long waitMs) {
    if (::SendMessageW(table, LVM_GETITEMCOUNT, 0, 0) <= row) {
        std::fprintf(stderr, "viewer-user: the table has no row %ld\n", row);
        return 1;
    }
    Press(table, VK_HOME);
    for (long n = 0; n < row; ++n)
        Press(table, VK_DOWN);
    for (long waited = 0; SelectedRow(table) != row; waited += 100) {
        if (waited >= (waitMs > kSelectWaitMs ? waitMs : kSelectWaitMs)) {
            std::fprintf(stderr, "viewer-user: row %ld did not become the selection\n", row);
            return 1;
        }
        ::Sleep(100);
    }
    Repaint(::GetAncestor(table, GA_ROOT));
    std::printf("selected row %ld\n", row);
    return 0;
}

// Where a user drags the dialog so that it hides nothing of the viewer: just
// below the frame, at its right edge, when the screen has room there.
void MoveAside(HWND dialog, HWND frame) {
    RECT frameRect = {};
    RECT dialogRect = {};
    if (!::GetWindowRect(frame, &frameRect) || !::GetWindowRect(dialog, &dialogRect))
        return;
    const int width = dialogRect.right - dialogRect.left;
    const int height = dialogRect.bottom - dialogRect.top;
    const int x = frameRect.right - width;
    const int y = frameRect.bottom + 8;
    if (x < 0 || y + height > ::GetSystemMetrics(SM_CYSCREEN))
        return;
    ::SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Find(HWND table, const std::wstring& text, long waitMs) {
    HWND frame = ::GetAncestor(table, GA_ROOT);
    HWND dialog = FindOwnedDialog(frame, true);
    if (dialog == nullptr)
        viewer_user::PressCtrl(frame, 'F');
    for (long waited = 0; dialog == nullptr; waited += 100) {
        if (waited >= kDialogWaitMs) {
            std::fprintf(stderr, "viewer-user: Ctrl+F opened no Find dialog\n");
            return 1;
        }
        ::Sleep(100);
        dialog = FindOwnedDialog(frame, true);
    }
    MoveAside(dialog, frame);
    // The field's old text is selected first, so that typing replaces it.
    HWND field = ::GetDlgItem(dialog, edt1);
    ::SendMessageW(field, EM_SETSEL, 0, -1);
    for (wchar_t unit : text)
        ::PostMessageW(field, WM_CHAR, unit, 1);
    const long before = SelectedRow(table);
    Press(field, VK_RETURN);
    const long limit = waitMs > kSelectWaitMs ? waitMs : kSelectWaitMs;
    long row = SelectedRow(table);
    for (long waited = 0; row == before; waited += 100) {
        if (FindOwnedDialog(dialog, false) != nullptr || FindOwnedDialog(frame, false) != nullptr) {
            std::fprintf(stderr, "viewer-user: the viewer found no more of the text\n");
            return 1;
        }
        if (waited >= limit) {
            std::fprintf(stderr, "viewer-user: the selection did not move\n");
            return 1;
        }
        ::Sleep(100);
        row = SelectedRow(table);
    }
    Repaint(frame);
    Repaint(dialog);
    std::printf("found in row %ld\n", row);
    return 0;
}

} // namespace

int main() {
    // The text to find may be any language: the command line is read as UTF-16.
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argv == nullptr)
        return Usage();
    long waitMs = 0;
    int i = 1;
    for (; i < argc && argv[i][0] == L'-'; ++i) {
        if (std::wcscmp(argv[i], L"--wait") == 0 && i + 1 < argc &&
            ParseNumber(argv[i + 1], waitMs))
            ++i;
        else
            return Usage();
    }
    long row = 0;
    const bool selectRow =
        argc - i == 2 && std::wcscmp(argv[i], L"select-row") == 0 && ParseNumber(argv[i + 1], row);
    const bool find =
        argc - i == 2 && std::wcscmp(argv[i], L"find") == 0 && argv[i + 1][0] != L'\0';
    const bool exportDialog = argc - i == 2 && std::wcscmp(argv[i], L"export-dialog") == 0;
    const bool exportRun = argc - i == 1 && std::wcscmp(argv[i], L"export-run") == 0;
    const bool exportDismiss = argc - i == 1 && std::wcscmp(argv[i], L"export-dismiss") == 0;
    if (!selectRow && !find && !exportDialog && !exportRun && !exportDismiss)
        return Usage();

    HWND table = FindTable();
    for (long waited = 0; table == nullptr && waited < waitMs; waited += 100) {
        ::Sleep(100);
        table = FindTable();
    }
    if (table == nullptr) {
        std::fprintf(stderr, "viewer-user: no viewer with a message table\n");
        return 1;
    }
    HWND frame = ::GetAncestor(table, GA_ROOT);
    if (exportDialog)
        return viewer_user::OpenExportDialog(frame, argv[i + 1]);
    if (exportRun)
        return viewer_user::RunExport(frame, waitMs);
    if (exportDismiss)
        return viewer_user::DismissExportResult(frame);
    return selectRow ? SelectRow(table, row, waitMs) : Find(table, argv[i + 1], waitMs);
}
