#include "GuardFolder.h"

#include "DebugTrace.h"
#include "GuardRules.h"
#include "TextRules.h"
#include "UniqueHandle.h"
#include "UpdaterConstants.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace updater {

namespace {

// Tries a few names; each one that exists was made by somebody else.
constexpr unsigned kFolderAttempts = 16;

} // namespace

bool TempFolder(char* out, std::size_t size) {
    char temp[kPathSize];
    const DWORD length = GetTempPathA(sizeof temp, temp);
    if (length == 0 || length >= sizeof temp) {
        return false;
    }
    if (temp[length - 1] != '\\') {
        return JoinPath(temp, "", out, size);
    }
    return CopyFittingText(out, size, temp);
}

bool MakeGuardFolder(char* out, std::size_t size) {
    char temp[kPathSize];
    if (!TempFolder(temp, sizeof temp)) {
        return false;
    }
    for (unsigned attempt = 0; attempt < kFolderAttempts; ++attempt) {
        char name[64];
        char path[kPathSize];
        if (!FormatGuardFolderName(GetCurrentProcessId(), GetTickCount64(), attempt, name,
                                   sizeof name) ||
            !JoinPath(temp, name, path, sizeof path)) {
            return false;
        }
        if (CreateDirectoryA(path, nullptr)) {
            return CopyFittingText(out, size, path);
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            DebugTrace("no guard folder in %s: error %lu", temp, GetLastError());
            return false;
        }
    }
    return false;
}

void RemoveGuardFolder(const char* folder) {
    const std::string pattern = std::string(folder) + "\\*";
    WIN32_FIND_DATAA found;
    CFindHandle find(FindFirstFileA(pattern.c_str(), &found));
    if (find.IsValid()) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                DeleteFileA((std::string(folder) + "\\" + found.cFileName).c_str());
            }
        } while (FindNextFileA(find.Get(), &found));
    }
    find.Reset();
    RemoveDirectoryA(folder);
}

void ClearGuardFolders() {
    char temp[kPathSize];
    if (!TempFolder(temp, sizeof temp)) {
        return;
    }
    const std::string pattern = std::string(temp) + kGuardFolderPrefix + "*";
    WIN32_FIND_DATAA found;
    CFindHandle find(FindFirstFileA(pattern.c_str(), &found));
    if (!find.IsValid()) {
        return;
    }
    do {
        // A link of that name leads elsewhere: nothing there is ours.
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
            (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 &&
            IsGuardFolderName(found.cFileName)) {
            DebugTrace("clearing an earlier guard's folder %s", found.cFileName);
            RemoveGuardFolder((std::string(temp) + found.cFileName).c_str());
        }
    } while (FindNextFileA(find.Get(), &found));
}

} // namespace updater
