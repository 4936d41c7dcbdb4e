#include "UpdaterPaths.h"

#include "TextRules.h"
#include "UpdaterConstants.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace updater {

namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

bool FolderOfModule(const char* modulePath, char* folder, std::size_t size) {
    if (modulePath == nullptr) {
        return false;
    }
    const char* lastSlash = std::strrchr(modulePath, '\\');
    if (lastSlash == nullptr) {
        return false;
    }
    return CopyFittingText(folder, size, std::string(modulePath, lastSlash).c_str());
}

bool IsAbsolutePath(const char* path) {
    if (path == nullptr) {
        return false;
    }
    if (path[0] == '\\') {
        return true;
    }
    return IsAsciiLetter(path[0]) && path[1] == ':' && path[2] == '\\';
}

bool ResolvePath(const char* currentFolder, const char* path, char* out, std::size_t size) {
    if (path == nullptr) {
        return false;
    }
    if (IsAbsolutePath(path)) {
        return CopyFittingText(out, size, path);
    }
    return JoinPath(currentFolder, path, out, size);
}

bool FormatSetupArguments(const char* folder, char* out, std::size_t size) {
    if (out == nullptr || size == 0) {
        return false;
    }
    const int needed = std::snprintf(nullptr, 0, kSetupArgumentsFormat, folder ? folder : "");
    if (needed < 0 || static_cast<std::size_t>(needed) + 1 > size) {
        return false;
    }
    std::snprintf(out, size, kSetupArgumentsFormat, folder ? folder : "");
    return true;
}

} // namespace updater
