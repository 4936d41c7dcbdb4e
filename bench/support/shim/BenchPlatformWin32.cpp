#include "BenchPlatform.h"

#include <windows.h>

#include <filesystem>

namespace fs = std::filesystem;

const char* NullDevice() {
    return "NUL";
}

bool IsHostBuild() {
    return false;
}

int RunProgram(const std::vector<std::string>& args, const std::string& out, double& cpuMs) {
    cpuMs = 0;
    std::wstring line;
    for (const std::string& a : args)
        line += (line.empty() ? L"\"" : L" \"") + fs::u8path(a).wstring() + L"\"";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    // The device exists already; a file is made afresh.
    const DWORD disposition = out == NullDevice() ? OPEN_EXISTING : CREATE_ALWAYS;
    HANDLE output =
        CreateFileW(fs::u8path(out).wstring().c_str(), GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, disposition, 0, nullptr);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = output;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        CloseHandle(output);
        return -1;
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    FILETIME created, exited, kernel, user;
    if (GetProcessTimes(pi.hProcess, &created, &exited, &kernel, &user)) {
        auto ticks = [](const FILETIME& t) {
            return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
        };
        cpuMs = static_cast<double>(ticks(kernel) + ticks(user)) / 1e4;
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    CloseHandle(output);
    return static_cast<int>(code);
}
