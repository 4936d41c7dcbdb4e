// A real main frame, made by the document template in this process, with the
// current directory set to a scratch folder that holds the accounts.
#pragma once

#include "ChatContentTitle.h"
#include "ChatLogWriter.h"
#include "ContentOutput.h"
#include "DocTemplate.h"
#include "MainFrame.h"
#include "MerovaneDoc.h"
#include "MerovaneView.h"
#include "ScratchDir.h"
#include "UniqueHandle.h"
#include "UserTitleWnd.h"
#include "ViewerMessages.h"
#include "WinApp.h"
#include "WinTestSupport.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// The main frame with two test hooks: it may grow beyond the screen (the
// sizing figures need wide frames), and it remembers the commands it got.
class CTestFrame : public CMainFrame {
public:
    static constexpr char kClassName[] = "CTestFrame";
    std::vector<UINT> m_commands;
    // Called with the log of every kViewerMsgFriendSelected before the frame hands it on.
    std::function<void(WPARAM)> m_onFriendSelected;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_GETMINMAXINFO) {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMaxTrackSize = {5000, 4000};
            info->ptMaxSize = {5000, 4000};
            return 0;
        }
        if (message == kViewerMsgFriendSelected && m_onFriendSelected)
            m_onFriendSelected(wParam);
        return CMainFrame::WindowProc(message, wParam, lParam);
    }

protected:
    BOOL OnCommand(UINT id, UINT code, HWND control) override {
        m_commands.push_back(id);
        return CMainFrame::OnCommand(id, code, control);
    }
};

struct LogRecord {
    std::int32_t time;
    std::uint32_t direction;
    std::string text; // GBK
};

class ViewerTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX init = {sizeof(init), ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
        ::InitCommonControlsEx(&init);
        m_scratch = std::make_unique<CScratchDir>("viewer_test");
        m_dir = m_scratch->Path();
        wchar_t previous[MAX_PATH];
        ::GetCurrentDirectoryW(MAX_PATH, previous);
        m_previousDirectory = previous;
        ASSERT_TRUE(::SetCurrentDirectoryW(m_dir.wstring().c_str()));

        m_template = std::make_unique<CSingleDocTemplate>(
            IDR_MAINFRAME, RuntimeClassOf<CMerovaneDoc>(), RuntimeClassOf<CTestFrame>(),
            RuntimeClassOf<CMerovaneView>());
        ASSERT_NE(m_template->OpenDocumentFile(), nullptr);
        m_frame = dynamic_cast<CTestFrame*>(m_template->GetFrame());
        ASSERT_NE(m_frame, nullptr);
        ASSERT_EQ(AfxGetMainWnd(), m_frame);
        m_frame->SetWindowText(kViewerCaption);
        SetClientSize(1000, 600);
        m_frame->ShowWindow(SW_SHOW);
        m_frame->UpdateWindow();
        Pump();
    }

    void TearDown() override {
        m_template.reset();
        EXPECT_EQ(AfxGetMainWnd(), nullptr);
        ::SetCurrentDirectoryW(m_previousDirectory.c_str());
        m_scratch.reset();
    }

    static void Pump() { PumpMessages(); }

    // Resizes the frame so that its client area is cx by cy.
    void SetClientSize(int cx, int cy) {
        RECT window = m_frame->GetWindowRect();
        RECT client = m_frame->GetClientRect();
        int dx = (window.right - window.left) - client.right;
        int dy = (window.bottom - window.top) - client.bottom;
        m_frame->SetWindowPos(nullptr, 0, 0, cx + dx, cy + dy, SWP_NOZORDER | SWP_NOACTIVATE);
        client = m_frame->GetClientRect();
        // The menu bar may wrap at another width: ask again once.
        if (client.right != cx || client.bottom != cy) {
            window = m_frame->GetWindowRect();
            dx = (window.right - window.left) - client.right;
            dy = (window.bottom - window.top) - client.bottom;
            m_frame->SetWindowPos(nullptr, 0, 0, cx + dx, cy + dy, SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return ::SendMessageW(m_frame->m_hWnd, message, wParam, lParam);
    }

    // <scratch>/<key>/ChatLog, created.
    std::filesystem::path AccountFolder(const std::string& key) {
        std::filesystem::path folder = m_dir / key / "ChatLog";
        std::filesystem::create_directories(folder);
        return folder;
    }

    static std::string LogBytes(const std::string& friendKey, const std::string& friendName,
                                const std::vector<LogRecord>& records = {},
                                const std::string& ownerName = "\xce\xd2") { // 我
        ChatLogHeaderFields fields;
        fields.friendKey = friendKey;
        fields.friendName = friendName;
        fields.ownerName = ownerName;
        std::string bytes = BuildHeaderBytes(fields);
        for (const LogRecord& r : records)
            bytes += BuildRecordBytes(r.time, r.direction, r.text);
        return bytes;
    }

    static void WriteLog(const std::filesystem::path& folder, const std::string& fileName,
                         const std::string& bytes) {
        ASSERT_TRUE(WriteFileBytes((folder / fileName).string(), bytes)) << fileName;
    }

    CUserTitleWnd& Friends() { return *m_frame->GetFriendListPane(); }
    // The splitters and the tree are found through the window tree: the
    // frame keeps them to itself.
    template <class T> static T& WindowObject(HWND hwnd, const char* what) {
        T* wnd = dynamic_cast<T*>(CWnd::FromHandlePermanent(hwnd));
        if (wnd == nullptr)
            throw std::runtime_error(std::string("no ") + what);
        return *wnd;
    }
    CSplitterWnd& OuterSplitter() {
        return WindowObject<CSplitterWnd>(::GetDlgItem(m_frame->m_hWnd, AFX_IDW_PANE_FIRST),
                                          "outer splitter");
    }
    CSplitterWnd& RightSplitter() {
        CSplitterWnd& outer = OuterSplitter();
        return WindowObject<CSplitterWnd>(::GetDlgItem(outer.m_hWnd, outer.IdFromRowCol(0, 1)),
                                          "right splitter");
    }
    CTreeCtrl& Tree() {
        return WindowObject<CTreeCtrl>(::GetDlgItem(Friends().m_hWnd, IDC_FRIEND_TREE),
                                       "friend tree");
    }
    // The selected friend: the tree's selection unless that is the root.
    HTREEITEM SelectedFriendItem() {
        const HTREEITEM selected = Tree().GetSelectedItem();
        return selected == Tree().GetRootItem() ? nullptr : selected;
    }

    std::vector<std::wstring> FriendLabels() {
        return TreeChildTexts(Tree().m_hWnd, Tree().GetRootItem());
    }

    HTREEITEM FriendItem(size_t index) {
        CTreeCtrl& tree = Tree();
        HTREEITEM item = tree.GetChildItem(Tree().GetRootItem());
        for (size_t i = 0; i < index && item != nullptr; ++i)
            item = tree.GetNextSiblingItem(item);
        return item;
    }

    CChatLogFile* FriendLog(size_t index) {
        HTREEITEM item = FriendItem(index);
        return item ? reinterpret_cast<CChatLogFile*>(Tree().GetItemData(item)) : nullptr;
    }

    HWND MessageList() {
        CWnd* pane = RightSplitter().GetPane(0, 0);
        return pane ? ::GetDlgItem(pane->m_hWnd, IDC_MESSAGE_LIST) : nullptr;
    }

    int MessageRows() { return ListRowCount(MessageList()); }

    std::wstring ContentText() {
        CWnd* pane = RightSplitter().GetPane(1, 0);
        HWND edit = pane ? ::GetDlgItem(pane->m_hWnd, IDC_MESSAGE_EDIT) : nullptr;
        wchar_t text[4096] = {};
        ::GetWindowTextW(edit, text, 4096);
        return text;
    }

    // Names in the order the folder lists them, of those in `names`.
    static std::vector<std::wstring> ListingOrder(const std::filesystem::path& folder,
                                                  const std::vector<std::wstring>& names) {
        std::vector<std::wstring> order;
        WIN32_FIND_DATAW entry;
        CFindHandle find(::FindFirstFileW((folder / "*").wstring().c_str(), &entry));
        if (!find.IsValid())
            return order;
        do {
            for (const std::wstring& name : names)
                if (name == entry.cFileName)
                    order.push_back(name);
        } while (::FindNextFileW(find.Get(), &entry));
        return order;
    }

    std::unique_ptr<CScratchDir> m_scratch;
    std::filesystem::path m_dir;
    std::wstring m_previousDirectory;
    std::unique_ptr<CSingleDocTemplate> m_template;
    CTestFrame* m_frame = nullptr;
};
