#include "WinTestSupport.h"

void pumpMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

int listRowCount(HWND list) {
    return static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

std::wstring listCellText(HWND list, int row, int column) {
    wchar_t buffer[2048] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = 2048;
    ::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return buffer;
}

std::vector<std::wstring> listColumnTexts(HWND list, int column) {
    std::vector<std::wstring> texts;
    const int rows = listRowCount(list);
    for (int row = 0; row < rows; ++row) {
        texts.push_back(listCellText(list, row, column));
    }
    return texts;
}

int treeItemCount(HWND tree) {
    return static_cast<int>(::SendMessageW(tree, TVM_GETCOUNT, 0, 0));
}

std::vector<std::wstring> treeChildTexts(HWND tree, HTREEITEM parent) {
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

std::string testProgramFolder() {
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    const std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string buildOutput(const char* relativePath) {
    std::string path = testProgramFolder() + "\\" + relativePath;
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}
