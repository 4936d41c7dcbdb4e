// PLATFORM SHIM, Windows side: see ExportPlatform.h.
#include "ExportPlatform.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>

namespace {

std::atomic<bool> s_stopped{false};

// On the thread the system starts for the console's event. Ctrl+C and
// Ctrl+Break end the process only if this returns FALSE; a close, logoff or
// shutdown ends it when this returns, so that waits for the run to clean up
// (the system allows about five seconds).
BOOL WINAPI OnConsoleEvent(DWORD event) {
    s_stopped = true;
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
        Sleep(4000);
    return TRUE;
}

} // namespace

namespace exporter {

namespace {

std::string ToUtf8(const wchar_t* wide) {
    int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1)
        return std::string();
    std::string text(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, &text[0], bytes, nullptr, nullptr);
    text.resize(static_cast<std::size_t>(bytes - 1));
    return text;
}

bool IsConsole(DWORD which) {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(which), &mode) != 0;
}

} // namespace

std::vector<std::string> Utf8Arguments(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(ToUtf8(argv[i]));
    return args;
}

void PrepareStandardStreams() {
    _setmode(_fileno(stdout), _O_BINARY);
    if (IsConsole(STD_OUTPUT_HANDLE) || IsConsole(STD_ERROR_HANDLE)) {
        // The code page belongs to the console, not to this process: give the
        // user's back at exit.
        static UINT previous = GetConsoleOutputCP();
        SetConsoleOutputCP(CP_UTF8);
        std::atexit([] { SetConsoleOutputCP(previous); });
    }
}

bool IsStandardErrorTerminal() {
    return IsConsole(STD_ERROR_HANDLE);
}

std::uintptr_t MemoryPageSize() {
    static const std::uintptr_t page = [] {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        return static_cast<std::uintptr_t>(info.dwPageSize);
    }();
    return page;
}

void ReleaseMappedPages(std::uintptr_t first, std::size_t size) {
    // Unlocking pages that are not locked takes them out of the working set.
    VirtualUnlock(reinterpret_cast<void*>(first), size);
}

unsigned long CurrentProcessId() {
    return GetCurrentProcessId();
}

std::FILE* CreateNewFile(const std::filesystem::path& path, const std::filesystem::path&) {
    return _wfopen(path.c_str(), L"wb");
}

int ReplaceFileWith(const std::filesystem::path& from, const std::filesystem::path& to) {
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : EACCES;
}

void WatchStopRequests() {
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

bool StopRequested() {
    return s_stopped;
}

void EndAsStopped() {
    // What a process ended by Ctrl+C exits with.
    ExitProcess(static_cast<UINT>(0xC000013AL));
}

} // namespace exporter
