#include "SetupLauncher.h"

#include "DebugTrace.h"
#include "ErrorText.h"
#include "UniqueHandle.h"
#include "UpdaterConstants.h"
#include "UpdaterPaths.h"

#include <windows.h>

#include <cstring>
#include <utility>
#include <vector>

namespace updater {

bool NamesFile(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

namespace {

// The system's text for the failure goes to the debugger only; the user is
// never shown anything.
void TraceStartFailure(DWORD error) {
    char text[1024];
    if (FormatErrorText(error, text, sizeof text)) {
        DebugTrace("setup did not start: %s", text);
    }
}

} // namespace

bool RunSetup(const char* path, const char* arguments, const char* currentFolder,
              CKernelHandle* process) {
    if (path == nullptr || arguments == nullptr) {
        return false;
    }
    char fullPath[updater::kPathSize];
    const char* toStart = path;
    if (!updater::IsAbsolutePath(path)) {
        char folder[updater::kPathSize];
        const DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
        if (length == 0 || length >= sizeof folder ||
            !updater::ResolvePath(folder, path, fullPath, sizeof fullPath)) {
            return false;
        }
        toStart = fullPath;
    }
    if (!NamesFile(toStart)) {
        DebugTrace("no setup file at %s", toStart);
        return false;
    }

    // CreateProcessA may write into the command line, so it gets a copy.
    std::vector<char> commandLine(arguments, arguments + std::strlen(arguments) + 1);
    char desktop[] = "";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.lpDesktop = desktop;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(toStart, commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_DEFAULT_ERROR_MODE | NORMAL_PRIORITY_CLASS, nullptr, currentFolder,
                        &startup, &started)) {
        TraceStartFailure(GetLastError());
        return false;
    }
    DebugTrace("setup started: %s, command line \"%s\"", toStart, arguments);
    CKernelHandle processHandle(started.hProcess);
    CKernelHandle threadHandle(started.hThread);
    if (process != nullptr) {
        *process = std::move(processHandle);
    }
    return true;
}

} // namespace updater
