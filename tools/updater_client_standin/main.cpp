// Stand-in for the Vemli client in the updater's end-to-end runs: one
// top-level window with a given title that answers the updater's question
// (message 32766) with a given value, and a log of what it received.
//
//   updater_client_standin.exe TITLE ANSWER LOGFILE [LIFETIME_MS [TAMPER_PATH]]
//
// With TAMPER_PATH it plays a program that tries to swap the setup while the
// updater hands over: when asked, it tries to write TAMPER_PATH, delete it,
// rename it, and replace it by another file, and logs each outcome; a '*' in
// its folder's name stands for the first folder that matches. ANSWER
// "hang" plays a client that hangs when asked: it answers only when its
// lifetime is over.
//
// Log lines (each flushed at once, times in ms from GetTickCount64):
//   ready <time>                     the window exists
//   asked <time> <wParam> <lParam> answer <ANSWER>   (0 for "hang")
//   tamper <write|delete|rename|replace> <done|refused>
//   WM_QUIT <time>                   WM_QUIT posted to the window; then exit
//   lifetime over <time>             nobody told it to quit; then exit
#include "UpdaterConstants.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr UINT_PTR kLifetimeTimer = 1;

std::FILE* g_log = nullptr;
LRESULT g_answer = 1;
bool g_hang = false;
UINT g_lifetime = 60000;
const char* g_tamperPath = nullptr;

void LogLine(const char* format, unsigned long long a = 0, long long b = 0, long long c = 0,
             long long d = 0) {
    if (g_log != nullptr) {
        std::fprintf(g_log, format, a, b, c, d);
        std::fputc('\n', g_log);
        std::fflush(g_log);
    }
}

void LogTamper(const char* what, bool done) {
    if (g_log != nullptr) {
        std::fprintf(g_log, "tamper %s %s\n", what, done ? "done" : "refused");
        std::fflush(g_log);
    }
}

// "<parent>\<pattern>\<name>" with the first folder that matches the
// pattern; the path unchanged when it has no '*'.
std::string ResolveFolderPattern(const std::string& path) {
    const std::size_t slash = path.rfind('\\');
    if (path.find('*') == std::string::npos || slash == std::string::npos) {
        return path;
    }
    const std::string folderPattern = path.substr(0, slash);
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(folderPattern.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) {
        return path;
    }
    FindClose(find);
    return folderPattern.substr(0, folderPattern.rfind('\\') + 1) + found.cFileName +
           path.substr(slash);
}

// Every way to change the file a program of the same user has.
void TamperWith(const char* pattern) {
    const std::string resolved = ResolveFolderPattern(pattern);
    const char* path = resolved.c_str();
    const std::string decoy = std::string(path) + ".decoy";
    const std::string moved = std::string(path) + ".moved";
    HANDLE file =
        CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    bool written = false;
    if (file != INVALID_HANDLE_VALUE) {
        DWORD count = 0;
        written = WriteFile(file, "MZ swapped", 10, &count, nullptr) && count == 10;
        CloseHandle(file);
    }
    LogTamper("write", written);
    LogTamper("delete", DeleteFileA(path) != FALSE);
    LogTamper("rename", MoveFileA(path, moved.c_str()) != FALSE);
    HANDLE other = CreateFileA(decoy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (other != INVALID_HANDLE_VALUE) {
        DWORD count = 0;
        WriteFile(other, "MZ decoy", 8, &count, nullptr);
        CloseHandle(other);
    }
    LogTamper("replace", MoveFileExA(decoy.c_str(), path, MOVEFILE_REPLACE_EXISTING) != FALSE);
    DeleteFileA(decoy.c_str());
}

LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case updater::kClientQuitQuery:
        LogLine("asked %llu %lld %lld answer %lld", GetTickCount64(),
                static_cast<long long>(wParam), static_cast<long long>(lParam),
                static_cast<long long>(g_answer));
        // Inside the updater's hand-over: it waits for this answer.
        if (g_tamperPath != nullptr) {
            TamperWith(g_tamperPath);
        }
        if (g_hang) {
            Sleep(g_lifetime);
            LogLine("hang over %llu", GetTickCount64());
            DestroyWindow(hWnd);
        }
        return g_answer;
    case WM_TIMER:
        if (wParam == kLifetimeTimer) {
            LogLine("lifetime over %llu", GetTickCount64());
            DestroyWindow(hWnd);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hWnd, message, wParam, lParam);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(
            stderr,
            "usage: updater_client_standin TITLE ANSWER LOGFILE [LIFETIME_MS [TAMPER_PATH]]\n");
        return 2;
    }
    g_hang = std::strcmp(argv[2], "hang") == 0;
    g_answer = g_hang ? 0 : static_cast<LRESULT>(std::strtoll(argv[2], nullptr, 10));
    g_log = std::fopen(argv[3], "a");
    const UINT lifetime = argc > 4 ? static_cast<UINT>(std::strtoul(argv[4], nullptr, 10)) : 60000;
    g_lifetime = lifetime;
    g_tamperPath = argc > 5 ? argv[5] : nullptr;

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VemliStandInClient";
    RegisterClassA(&windowClass);
    HWND hWnd = CreateWindowExA(0, windowClass.lpszClassName, argv[1], WS_OVERLAPPEDWINDOW, 0, 0,
                                200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (hWnd == nullptr) {
        LogLine("no window");
        return 1;
    }
    SetTimer(hWnd, kLifetimeTimer, lifetime, nullptr);
    LogLine("ready %llu", GetTickCount64());

    MSG msg;
    BOOL got;
    while ((got = GetMessageA(&msg, nullptr, 0, 0)) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    // WM_QUIT from PostQuitMessage carries no window; the updater's names ours.
    if (got == 0 && msg.hwnd == hWnd) {
        LogLine("WM_QUIT %llu", GetTickCount64());
    }
    if (g_log != nullptr) {
        std::fclose(g_log);
    }
    return 0;
}
