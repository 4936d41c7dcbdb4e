#include "ShellDialogs.h"

#include <commdlg.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

namespace {

int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM, LPARAM data) {
    // Start where the caller asked: the picker has no field for it.
    if (message == BFFM_INITIALIZED && data != 0)
        ::SendMessageW(window, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

// COM for the picker's new-style dialog, once per call: the thread may or
// may not have it already.
class CComScope {
public:
    CComScope() : m_ok(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~CComScope() {
        if (m_ok)
            ::CoUninitialize();
    }
    CComScope(const CComScope&) = delete;
    CComScope& operator=(const CComScope&) = delete;

private:
    bool m_ok;
};

std::wstring WindowCaption(HWND window) {
    wchar_t caption[128] = {};
    if (window != nullptr)
        ::GetWindowTextW(window, caption, 128);
    return caption;
}

} // namespace

bool CShellDialogs::PickFolder(HWND owner, const std::wstring& title, const std::wstring& start,
                               std::wstring& chosen) {
    CComScope com;
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_EDITBOX;
    info.lpfn = &BrowseCallback;
    info.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
    PIDLIST_ABSOLUTE list = ::SHBrowseForFolderW(&info);
    if (list == nullptr)
        return false;
    wchar_t path[MAX_PATH] = {};
    const bool ok = ::SHGetPathFromIDListW(list, path) != FALSE;
    ::CoTaskMemFree(list);
    if (ok)
        chosen = path;
    return ok;
}

bool CShellDialogs::PickSaveFile(HWND owner, const SaveRequest& request, std::wstring& chosen) {
    // The filter is pairs of NUL-terminated texts, ended by an empty one.
    std::wstring filter = request.filterName + L'\0' + L"*." + request.extension + L'\0' + L'\0';
    std::vector<wchar_t> file(32768, L'\0');
    request.name.copy(file.data(), std::min(request.name.size(), file.size() - 1));
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = request.folder.empty() ? nullptr : request.folder.c_str();
    ofn.lpstrTitle = request.title.c_str();
    ofn.lpstrDefExt = request.extension.c_str();
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!::GetSaveFileNameW(&ofn))
        return false;
    chosen = file.data();
    return true;
}

int CShellDialogs::Message(HWND owner, const std::wstring& text, UINT type) {
    return ::MessageBoxW(owner, text.c_str(), WindowCaption(owner).c_str(), type);
}

bool CShellDialogs::ShowInFileManager(const std::wstring& path) {
    const std::wstring arguments = L"/select,\"" + path + L"\"";
    auto result = reinterpret_cast<INT_PTR>(::ShellExecuteW(
        nullptr, L"open", L"explorer.exe", arguments.c_str(), nullptr, SW_SHOWNORMAL));
    return result > 32; // the documented bound of success
}

CShellDialogs& CShellDialogs::System() {
    static CShellDialogs dialogs;
    return dialogs;
}
