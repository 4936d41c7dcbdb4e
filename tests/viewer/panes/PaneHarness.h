// Test stand-ins for what surrounds the message panes: a main window that
// hands kViewerMsgShowMessageText to the content pane as the frame does, chat log files
// written to a scratch folder, and readers of the controls.
#pragma once

#include "ChatContentTitle.h"
#include "ChatLogWriter.h"
#include "ContentOutput.h"
#include "ScratchDir.h"
#include "ViewerMessages.h"
#include "WinApp.h"
#include "WinTestSupport.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// The main window as the panes see it: kViewerMsgShowMessageText goes to the content pane.
class CTestMainWnd : public CWnd {
public:
    CContentOutput* m_content = nullptr;
    int m_textMessages = 0;
    WPARAM m_lastText = 0;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kViewerMsgShowMessageText) {
            ++m_textMessages;
            m_lastText = wParam;
            if (m_content != nullptr) {
                m_content->SetMessageText(reinterpret_cast<const char*>(wParam));
            }
            return 1;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// The main window is made once and left to the end of the process: under a
// display without a window manager, Wine takes two seconds to take a visible
// top-level window down, while a process that ends with it open ends at once.
class PaneHarness : public testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&init);
        CWnd::RegisterClass(kGenericWndClass, CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW),
                            reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
        if (s_main != nullptr) {
            return;
        }
        s_main = new CTestMainWnd;
        s_main->CreateEx(0, kGenericWndClass, L"main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 820,
                         640, nullptr, 0);
    }

    void SetUp() override {
        ASSERT_TRUE(m_main.IsWindow());
        AfxSetMainWnd(&m_main);
        m_main.m_textMessages = 0;
        m_main.m_lastText = 0;
        m_list = std::make_unique<CChatContentTitle>();
        m_content = std::make_unique<CContentOutput>();
        ASSERT_TRUE(
            m_list->Create(&m_main, 0xE900, WS_CHILD | WS_VISIBLE, RECT{0, 0, 800, 400}, nullptr));
        ASSERT_TRUE(m_content->Create(&m_main, 0xE910, WS_CHILD | WS_VISIBLE,
                                      RECT{0, 400, 800, 600}, nullptr));
        m_main.m_content = m_content.get();
        m_list->SendMessage(WM_INITIALUPDATE);
        m_content->SendMessage(WM_INITIALUPDATE);
        m_scratch = std::make_unique<CScratchDir>("panes_gui");
        m_dir = m_scratch->Path();
    }

    void TearDown() override {
        // Windows first: no row may outlive the log it points into.
        m_main.m_content = nullptr;
        m_list->DestroyWindow();
        m_content->DestroyWindow();
        m_list.reset();
        m_content.reset();
        m_logs.clear();
        AfxSetMainWnd(nullptr);
        m_scratch.reset();
    }

    // A log file made of the header and the given record bytes, opened.
    CChatLogFile* OpenLog(const std::string& records) {
        const std::string path = (m_dir / (std::to_string(m_logs.size() + 100) + ".dat")).string();
        ChatLogHeaderFields header{"123456789", "\xd0\xa1\xc3\xf7",
                                   "\xd5\xc5\xc8\xfd"}; // 小明, 张三
        EXPECT_TRUE(WriteFileBytes(path, BuildHeaderBytes(header) + records));
        m_logs.push_back(std::make_unique<CChatLogFile>());
        EXPECT_TRUE(m_logs.back()->Open(path.c_str()));
        return m_logs.back().get();
    }

    HWND Table() const { return ::GetDlgItem(m_list->m_hWnd, IDC_MESSAGE_LIST); }
    HWND Edit() const { return ::GetDlgItem(m_content->m_hWnd, IDC_MESSAGE_EDIT); }
    HWND Combo() const { return ::GetDlgItem(m_list->m_hWnd, IDC_MESSAGE_FILTER); }
    HWND Button(int id) const { return ::GetDlgItem(m_list->m_hWnd, id); }

    int Rows() const { return ListRowCount(Table()); }
    std::wstring Cell(int row, int column) const { return ListCellText(Table(), row, column); }
    std::vector<std::wstring> Column(int column) const { return ListColumnTexts(Table(), column); }
    int SelectedRow() const {
        return static_cast<int>(
            ::SendMessageW(Table(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    }
    void SelectRow(int row) { SelectListRow(Table(), row); }
    void UnselectAll() {
        LVITEMW item = {};
        item.stateMask = LVIS_SELECTED;
        ::SendMessageW(Table(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                       reinterpret_cast<LPARAM>(&item));
    }
    std::wstring ContentText() const {
        int n = ::GetWindowTextLengthW(Edit());
        std::wstring text(static_cast<size_t>(n) + 1, L'\0');
        ::GetWindowTextW(Edit(), text.data(), n + 1);
        text.resize(static_cast<size_t>(n));
        return text;
    }
    // As the user does it: a click on a radio button, a pick in the box.
    void ClickButton(int id) { ::SendMessageW(Button(id), BM_CLICK, 0, 0); }
    void PickFilter(int index) {
        ::SendMessageW(Combo(), CB_SETCURSEL, index, 0);
        ::SendMessageW(m_list->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_MESSAGE_FILTER, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(Combo()));
    }
    // Where a control stands in the pane.
    RECT PlaceOf(HWND control) const {
        RECT r{};
        ::GetWindowRect(control, &r);
        ::MapWindowPoints(nullptr, m_list->m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    static inline CTestMainWnd* s_main = nullptr;
    CTestMainWnd& m_main = *s_main;
    std::unique_ptr<CChatContentTitle> m_list;
    std::unique_ptr<CContentOutput> m_content;
    std::vector<std::unique_ptr<CChatLogFile>> m_logs;
    std::unique_ptr<CScratchDir> m_scratch;
    std::filesystem::path m_dir;
};
