#include "WinTestSupport.h"

void PumpMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs) {
    const ULONGLONG start = ::GetTickCount64();
    for (;;) {
        if (condition())
            return true;
        if (::GetTickCount64() - start >= timeoutMs)
            return false;
        ::Sleep(pollMs);
    }
}

int ListRowCount(HWND list) {
    return static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

void SelectListRow(HWND list, int row) {
    LVITEMW item = {};
    item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

std::wstring ListCellText(HWND list, int row, int column) {
    wchar_t buffer[2048] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = 2048;
    ::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return buffer;
}

std::vector<std::wstring> ListColumnTexts(HWND list, int column) {
    std::vector<std::wstring> texts;
    const int rows = ListRowCount(list);
    for (int row = 0; row < rows; ++row) {
        texts.push_back(ListCellText(list, row, column));
    }
    return texts;
}

int TreeItemCount(HWND tree) {
    return static_cast<int>(::SendMessageW(tree, TVM_GETCOUNT, 0, 0));
}

std::vector<std::wstring> TreeChildTexts(HWND tree, HTREEITEM parent) {
    std::vector<std::wstring> texts;
    const auto next = [tree](UINT relation, HTREEITEM item) {
        return reinterpret_cast<HTREEITEM>(
            ::SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    };
    HTREEITEM item = parent == TVI_ROOT ? next(TVGN_ROOT, nullptr) : next(TVGN_CHILD, parent);
    for (; item != nullptr; item = next(TVGN_NEXT, item)) {
        wchar_t buffer[512] = {};
        TVITEMW query = {};
        query.mask = TVIF_TEXT;
        query.hItem = item;
        query.pszText = buffer;
        query.cchTextMax = 512;
        ::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
        texts.push_back(buffer);
    }
    return texts;
}

std::string TestProgramFolder() {
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    const std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string BuildOutput(const char* relativePath) {
    std::string path = TestProgramFolder() + "\\" + relativePath;
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}
