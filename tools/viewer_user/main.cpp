// viewer-user: plays the user at a running viewer. Finds the window captioned
// 信息管理器, then its message table, and presses keys there as a user would.
//
//   viewer-user select-row N   Home, then Down N times: row N (from 0) becomes
//                              the selection and its text is shown
//   --wait MS                  keep looking for the table for up to MS ms
//
// Only keys go over, posted as the keyboard would post them; nothing reaches
// into the viewer's memory, so it works from another process.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "viewer/ViewerMessages.h"
#include "viewer/res/resource.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: viewer-user [--wait MS] select-row N\n");
    return 2;
}

bool parseNumber(const char* text, long& value) {
    if (text == nullptr || *text == '\0')
        return false;
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return end != nullptr && *end == '\0' && value >= 0;
}

// The message table: the list control with its id somewhere below the frame.
BOOL CALLBACK matchTable(HWND child, LPARAM param) {
    wchar_t cls[64] = {};
    ::GetClassNameW(child, cls, 64);
    if (::GetDlgCtrlID(child) == IDC_MESSAGE_LIST && std::wcscmp(cls, L"SysListView32") == 0) {
        *reinterpret_cast<HWND*>(param) = child;
        return FALSE;
    }
    return TRUE;
}

HWND findTable() {
    HWND frame = ::FindWindowW(nullptr, kViewerCaption);
    HWND table = nullptr;
    if (frame != nullptr)
        ::EnumChildWindows(frame, matchTable, reinterpret_cast<LPARAM>(&table));
    return table;
}

// Keys go through the queue, as typed keys do; a sent message waits for the
// viewer, so that the next key finds the previous one handled.
void press(HWND table, WPARAM key) {
    ::PostMessageW(table, WM_KEYDOWN, key, 1);
    ::PostMessageW(table, WM_KEYUP, key, 0xC0000001);
    ::SendMessageW(table, WM_NULL, 0, 0);
}

} // namespace

int main(int argc, char** argv) {
    long waitMs = 0;
    int i = 1;
    for (; i < argc && argv[i][0] == '-'; ++i) {
        if (std::strcmp(argv[i], "--wait") == 0 && i + 1 < argc && parseNumber(argv[i + 1], waitMs))
            ++i;
        else
            return usage();
    }
    long row = 0;
    if (argc - i != 2 || std::strcmp(argv[i], "select-row") != 0 || !parseNumber(argv[i + 1], row))
        return usage();

    HWND table = findTable();
    for (long waited = 0; table == nullptr && waited < waitMs; waited += 100) {
        ::Sleep(100);
        table = findTable();
    }
    if (table == nullptr) {
        std::fprintf(stderr, "viewer-user: no viewer with a message table\n");
        return 1;
    }
    if (::SendMessageW(table, LVM_GETITEMCOUNT, 0, 0) <= row) {
        std::fprintf(stderr, "viewer-user: the table has no row %ld\n", row);
        return 1;
    }
    press(table, VK_HOME);
    for (long n = 0; n < row; ++n)
        press(table, VK_DOWN);
    std::printf("selected row %ld\n", row);
    return 0;
}
