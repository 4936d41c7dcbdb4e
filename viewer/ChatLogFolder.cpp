#include "ChatLogFolder.h"

#include "ChatLogPaths.h"

#include <string>

namespace viewer {

const wchar_t* BuildChatLogPath(const char* key) {
    static wchar_t buffer[kPathBufferChars];
    buffer[0] = L'\0';
    if (key == nullptr)
        return nullptr;
    wchar_t current[kPathBufferChars];
    DWORD length = ::GetCurrentDirectoryW(kPathBufferChars, current);
    // 0 is a failure; a larger value than the buffer is the size it would need.
    if (length == 0 || length >= kPathBufferChars)
        return nullptr;
    std::wstring folder;
    if (!ComposeChatLogFolder(std::wstring_view(current, length), key, folder))
        return nullptr;
    folder.copy(buffer, folder.size());
    buffer[folder.size()] = L'\0';
    return buffer;
}

BOOL IsFolder(const wchar_t* path) {
    if (path == nullptr)
        return FALSE;
    DWORD attributes = ::GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace viewer
