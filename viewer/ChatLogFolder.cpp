#include "ChatLogFolder.h"

#include "ChatLogNames.h"
#include "ChatLogPaths.h"
#include "UniqueHandle.h"

#include <string>
#include <vector>

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

namespace {

// Calls `visit` with every entry of the folder until it returns false.
template <class Visit> void ListFolder(const std::wstring& folder, Visit visit) {
    std::wstring pattern;
    if (!ComposeListingPattern(folder, pattern))
        return;
    WIN32_FIND_DATAW entry;
    CFindHandle listing(::FindFirstFileW(pattern.c_str(), &entry));
    if (!listing.IsValid())
        return;
    do {
        if (!visit(entry))
            return;
    } while (::FindNextFileW(listing.Get(), &entry));
}

bool IsDigitName(const wchar_t* name) {
    if (*name == L'\0')
        return false;
    for (; *name != L'\0'; ++name)
        if (*name < L'0' || *name > L'9')
            return false;
    return true;
}

} // namespace

bool HoldsChatLogs(const std::wstring& folder) {
    bool found = false;
    ListFolder(folder, [&](const WIN32_FIND_DATAW& entry) {
        found = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
                chatlog::IsChatLogFileName(entry.cFileName);
        return !found;
    });
    return found;
}

bool FindChatLogFolder(const std::wstring& chosen, std::wstring& logs) {
    if (HoldsChatLogs(chosen)) {
        logs = chosen;
        return true;
    }
    std::wstring inner;
    if (ComposeListedFilePath(chosen, L"ChatLog", inner) && HoldsChatLogs(inner)) {
        logs = inner;
        return true;
    }
    // The client's folder: accounts are named by their digits. With several
    // there is no telling which one was meant.
    std::vector<std::wstring> accounts;
    ListFolder(chosen, [&](const WIN32_FIND_DATAW& entry) {
        std::wstring account, folder;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
            IsDigitName(entry.cFileName) &&
            ComposeListedFilePath(chosen, entry.cFileName, account) &&
            ComposeListedFilePath(account, L"ChatLog", folder) && HoldsChatLogs(folder))
            accounts.push_back(folder);
        return accounts.size() < 2;
    });
    if (accounts.size() != 1)
        return false;
    logs = accounts.front();
    return true;
}

} // namespace viewer
