// Stand-in for the Vemli client in the updater's end-to-end runs: one
// top-level window with a given title that answers the updater's question
// (message 32766) with a given value, and a log of what it received.
//
//   standin_client.exe TITLE ANSWER LOGFILE [LIFETIME_MS]
//
// Log lines (each flushed at once, times in ms from GetTickCount64):
//   ready <time>                     the window exists
//   asked <time> <wParam> <lParam> answer <ANSWER>
//   WM_QUIT <time>                   WM_QUIT posted to the window; then exit
//   lifetime over <time>             nobody told it to quit; then exit
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

// The updater's question; a non-zero answer means "I agree to end".
constexpr UINT kQuitQuery = 0x7FFE;
constexpr UINT_PTR kLifetimeTimer = 1;

std::FILE* g_log = nullptr;
LRESULT g_answer = 1;

void logLine(const char* format, unsigned long long a = 0, long long b = 0, long long c = 0,
             long long d = 0) {
    if (g_log != nullptr) {
        std::fprintf(g_log, format, a, b, c, d);
        std::fputc('\n', g_log);
        std::fflush(g_log);
    }
}

LRESULT CALLBACK windowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kQuitQuery:
        logLine("asked %llu %lld %lld answer %lld", GetTickCount64(),
                static_cast<long long>(wParam), static_cast<long long>(lParam),
                static_cast<long long>(g_answer));
        return g_answer;
    case WM_TIMER:
        if (wParam == kLifetimeTimer) {
            logLine("lifetime over %llu", GetTickCount64());
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
        std::fprintf(stderr, "usage: standin_client TITLE ANSWER LOGFILE [LIFETIME_MS]\n");
        return 2;
    }
    g_answer = static_cast<LRESULT>(std::strtoll(argv[2], nullptr, 10));
    g_log = std::fopen(argv[3], "a");
    const UINT lifetime = argc > 4 ? static_cast<UINT>(std::strtoul(argv[4], nullptr, 10)) : 60000;

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VemliStandInClient";
    RegisterClassA(&windowClass);
    HWND hWnd = CreateWindowExA(0, windowClass.lpszClassName, argv[1], WS_OVERLAPPEDWINDOW, 0, 0,
                                200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (hWnd == nullptr) {
        logLine("no window");
        return 1;
    }
    SetTimer(hWnd, kLifetimeTimer, lifetime, nullptr);
    logLine("ready %llu", GetTickCount64());

    MSG msg;
    BOOL got;
    while ((got = GetMessageA(&msg, nullptr, 0, 0)) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    // WM_QUIT from PostQuitMessage carries no window; the updater's names ours.
    if (got == 0 && msg.hwnd == hWnd) {
        logLine("WM_QUIT %llu", GetTickCount64());
    }
    if (g_log != nullptr) {
        std::fclose(g_log);
    }
    return 0;
}
