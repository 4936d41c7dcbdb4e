// PLATFORM SHIM, Windows side: see ExportPlatform.h.
#include "ExportPlatform.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdlib>

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

} // namespace exporter
