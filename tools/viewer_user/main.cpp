// viewer-user: plays the user at a running viewer. Finds the window captioned
// 信息管理器, then its message table, and presses keys there as a user would.
//
//   viewer-user select-row N   Home, then Down N times: row N (from 0) becomes
//                              the selection and its text is shown; returns
//                              once the row is selected and the window painted
//   --wait MS                  keep looking for the table for up to MS ms
//
// Only keys go over, posted as the keyboard would post them; nothing reaches
// into the viewer's memory, so it works from another process.
#include "ViewerMessages.h"
#include "resource.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

// How long the keys may take to move the selection at least.
constexpr long kSelectWaitMs = 5000;

int Usage() {
    std::fprintf(stderr, "usage: viewer-user [--wait MS] select-row N\n");
    return 2;
}

bool ParseNumber(const char* text, long& value) {
    if (text == nullptr || *text == '\0')
        return false;
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return end != nullptr && *end == '\0' && value >= 0;
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

// Keys go through the queue, as typed keys do; a sent message waits for the
// viewer, so that the next key finds the previous one handled.
void Press(HWND table, WPARAM key) {
    ::PostMessageW(table, WM_KEYDOWN, key, 1);
    ::PostMessageW(table, WM_KEYUP, key, 0xC0000001);
    ::SendMessageW(table, WM_NULL, 0, 0);
}

} // namespace

int main(int argc, char** argv) {
    long waitMs = 0;
    int i = 1;
    for (; i < argc && argv[i][0] == '-'; ++i) {
        if (std::strcmp(argv[i], "--wait") == 0 && i + 1 < argc && ParseNumber(argv[i + 1], waitMs))
            ++i;
        else
            return Usage();
    }
    long row = 0;
    if (argc - i != 2 || std::strcmp(argv[i], "select-row") != 0 || !ParseNumber(argv[i + 1], row))
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
    if (::SendMessageW(table, LVM_GETITEMCOUNT, 0, 0) <= row) {
        std::fprintf(stderr, "viewer-user: the table has no row %ld\n", row);
        return 1;
    }
    Press(table, VK_HOME);
    for (long n = 0; n < row; ++n)
        Press(table, VK_DOWN);
    // Done once the row is the selection and everything it changed is
    // painted, so that whoever looks next (a screenshot) sees the result.
    for (long waited = 0;
         ::SendMessageW(table, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) != row;
         waited += 100) {
        if (waited >= (waitMs > kSelectWaitMs ? waitMs : kSelectWaitMs)) {
            std::fprintf(stderr, "viewer-user: row %ld did not become the selection\n", row);
            return 1;
        }
        ::Sleep(100);
    }
    ::RedrawWindow(::GetAncestor(table, GA_ROOT), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    std::printf("selected row %ld\n", row);
    return 0;
}
