// The thin window layer on real windows: binding, default processing,
// reflection, the pre-translation walk, form views on a template, the static
// splitter and the GBK conversion.
#include "Button.h"
#include "ComboBox.h"
#include "FormView.h"
#include "SplitterWnd.h"
#include "TextConvert.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <vector>

namespace {

class CRecorder : public CWnd {
public:
    std::vector<UINT> m_messages;
    HWND m_hWndAtCreate = nullptr;
    int m_createResult = 0;
    int m_postNcDestroy = 0;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        m_messages.push_back(message);
        return CWnd::WindowProc(message, wParam, lParam);
    }
    int OnCreate(CREATESTRUCTW* cs) override {
        m_hWndAtCreate = m_hWnd;
        if (m_createResult != 0)
            return m_createResult;
        return CWnd::OnCreate(cs);
    }
    void PostNcDestroy() override { ++m_postNcDestroy; }
};

TEST(Wnd, CreationBindsTheObjectBeforeTheFirstMessage) {
    CRecorder wnd;
    ASSERT_TRUE(wnd.CreateEx(0, L"STATIC", L"", WS_POPUP, {0, 0, 50, 50}, nullptr, 0) ||
                wnd.Create(nullptr, 0, WS_POPUP, {0, 0, 50, 50}, nullptr));
    HWND hWnd = wnd.m_hWnd;
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), &wnd);
    EXPECT_EQ(wnd.m_hWndAtCreate, hWnd);
    ASSERT_FALSE(wnd.m_messages.empty());
    // WM_CREATE came after the window's very first messages, which we saw too.
    EXPECT_NE(wnd.m_messages.front(), static_cast<UINT>(WM_CREATE));

    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
    EXPECT_EQ(wnd.m_postNcDestroy, 1);
    EXPECT_EQ(wnd.m_messages.back(), static_cast<UINT>(WM_NCDESTROY));
}

TEST(Wnd, CreateFailsWhenOnCreateRefuses) {
    CRecorder wnd;
    wnd.m_createResult = -1;
    EXPECT_FALSE(wnd.Create(nullptr, 0, WS_POPUP, {0, 0, 50, 50}, nullptr));
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_EQ(wnd.m_postNcDestroy, 1);
}

TEST(Wnd, SubclassedControlKeepsItsOwnProcessingUntilUnsubclassed) {
    HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    const LONG_PTR original = ::GetWindowLongPtrW(edit, GWLP_WNDPROC);
    {
        CRecorder wrapper;
        ASSERT_TRUE(wrapper.SubclassWindow(edit));
        EXPECT_FALSE(CRecorder().SubclassWindow(edit)); // one object per window
        ::SetWindowTextW(edit, L"abc");
        wchar_t text[16] = {};
        ::GetWindowTextW(edit, text, 16);
        EXPECT_STREQ(text, L"abc"); // the edit's own procedure ran (Default)
        EXPECT_NE(std::count(wrapper.m_messages.begin(), wrapper.m_messages.end(),
                             static_cast<UINT>(WM_SETTEXT)),
                  0);
        EXPECT_EQ(wrapper.UnsubclassWindow(), edit);
        EXPECT_EQ(::GetWindowLongPtrW(edit, GWLP_WNDPROC), original);
        const size_t seen = wrapper.m_messages.size();
        ::SetWindowTextW(edit, L"def");
        EXPECT_EQ(wrapper.m_messages.size(), seen);
        // Subclassed again, the wrapper lets go when it is destroyed.
        ASSERT_TRUE(wrapper.SubclassWindow(edit));
    }
    EXPECT_EQ(::GetWindowLongPtrW(edit, GWLP_WNDPROC), original);
    EXPECT_EQ(CWnd::FromHandlePermanent(edit), nullptr);
    EXPECT_TRUE(::IsWindow(edit)); // only subclassed: the window is not ours to destroy
    ::DestroyWindow(edit);
}

// A parent that records the notifications it gets itself.
class CParent : public CWnd {
public:
    std::vector<UINT> m_commands;
    std::vector<UINT> m_notifications;
    HBRUSH m_ownBrush = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);

protected:
    BOOL OnCommand(UINT id, UINT code, HWND) override {
        m_commands.push_back(MAKELONG(id, code));
        return TRUE;
    }
    BOOL OnNotify(int, NMHDR* header, LRESULT* result) override {
        m_notifications.push_back(header->code);
        *result = 7;
        return TRUE;
    }
    HBRUSH OnCtlColor(HDC, HWND, UINT) override { return m_ownBrush; }
};

// A control that takes its clicks and colour requests itself.
class CSelfHandlingButton : public CButton {
public:
    int m_clicks = 0;
    HBRUSH m_brush = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    bool OnChildNotify(UINT message, WPARAM wParam, LPARAM, LRESULT* result) override {
        if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
            ++m_clicks;
            *result = 0;
            return true;
        }
        if (message == WM_CTLCOLORBTN) {
            *result = reinterpret_cast<LRESULT>(m_brush);
            return true;
        }
        if (message == WM_NOTIFY) {
            *result = 42;
            return true;
        }
        return false;
    }
};

struct ParentWithButtons : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(parent.Create(nullptr, 0, WS_POPUP, {0, 0, 200, 100}, nullptr));
        for (int id : {11, 12}) {
            HWND button = ::CreateWindowExW(
                0, L"BUTTON", L"b", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, parent.m_hWnd,
                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
            ASSERT_NE(button, nullptr);
        }
        ASSERT_TRUE(self.SubclassWindow(parent.GetDlgItem(11)));
        ASSERT_TRUE(plain.SubclassWindow(parent.GetDlgItem(12)));
    }
    CParent parent;
    CSelfHandlingButton self;
    CButton plain;
};

TEST_F(ParentWithButtons, NotificationsGoBackToTheControlThatTakesThem) {
    self.Click();
    EXPECT_EQ(self.m_clicks, 1);
    EXPECT_TRUE(parent.m_commands.empty());

    plain.Click();
    ASSERT_EQ(parent.m_commands.size(), 1u);
    EXPECT_EQ(parent.m_commands[0], static_cast<UINT>(MAKELONG(12, BN_CLICKED)));

    HDC dc = ::GetDC(parent.m_hWnd);
    EXPECT_EQ(parent.SendMessage(WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                                 reinterpret_cast<LPARAM>(self.m_hWnd)),
              reinterpret_cast<LRESULT>(self.m_brush));
    EXPECT_EQ(parent.SendMessage(WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                                 reinterpret_cast<LPARAM>(plain.m_hWnd)),
              reinterpret_cast<LRESULT>(parent.m_ownBrush));
    ::ReleaseDC(parent.m_hWnd, dc);

    NMHDR header = {self.m_hWnd, 11, NM_CLICK};
    EXPECT_EQ(parent.SendMessage(WM_NOTIFY, 11, reinterpret_cast<LPARAM>(&header)), 42);
    header = {plain.m_hWnd, 12, NM_CLICK};
    EXPECT_EQ(parent.SendMessage(WM_NOTIFY, 12, reinterpret_cast<LPARAM>(&header)), 7);
    EXPECT_EQ(parent.m_notifications, std::vector<UINT>{static_cast<UINT>(NM_CLICK)});
}

class CKeyEater : public CButton {
public:
    int m_calls = 0;
    BOOL PreTranslateMessage(MSG* msg) override {
        ++m_calls;
        return msg->message == WM_SYSCHAR;
    }
};

class CCountingParent : public CParent {
public:
    int m_calls = 0;
    BOOL PreTranslateMessage(MSG*) override {
        ++m_calls;
        return FALSE;
    }
};

TEST(Wnd, PreTranslationRunsFromTheTargetUpAndStopsWhereTaken) {
    CCountingParent parent;
    ASSERT_TRUE(parent.Create(nullptr, 0, WS_POPUP, {0, 0, 200, 100}, nullptr));
    HWND button = ::CreateWindowExW(0, L"BUTTON", L"b", WS_CHILD, 0, 0, 50, 20, parent.m_hWnd,
                                    nullptr, nullptr, nullptr);
    CKeyEater eater;
    ASSERT_TRUE(eater.SubclassWindow(button));

    MSG sysChar = {button, WM_SYSCHAR, 'f', 0, 0, {0, 0}};
    EXPECT_TRUE(CWnd::WalkPreTranslateTree(parent.m_hWnd, &sysChar));
    EXPECT_EQ(eater.m_calls, 1);
    EXPECT_EQ(parent.m_calls, 0);

    MSG plainChar = {button, WM_CHAR, 'f', 0, 0, {0, 0}};
    EXPECT_FALSE(CWnd::WalkPreTranslateTree(parent.m_hWnd, &plainChar));
    EXPECT_EQ(eater.m_calls, 2);
    EXPECT_EQ(parent.m_calls, 1);

    // The walk ends at the window it is told to stop at.
    EXPECT_FALSE(CWnd::WalkPreTranslateTree(button, &plainChar));
    EXPECT_EQ(parent.m_calls, 1);
}

class CTestForm : public CFormView {
public:
    CTestForm() : CFormView(IDD_MESSAGE_LIST) {}
    int m_initialUpdates = 0;
    int m_sizesAfterUpdate = 0;
    SIZE m_lastSize = {};
    CComboBox m_combo;
    CButton m_radio;

protected:
    void DoDataExchange() override {
        DDX_Control(IDC_MESSAGE_FILTER, m_combo);
        DDX_Control(IDC_SORT_ASCENDING, m_radio);
    }
    void OnInitialUpdate() override {
        CFormView::OnInitialUpdate();
        ++m_initialUpdates;
    }
    void OnSize(UINT type, int cx, int cy) override {
        CFormView::OnSize(type, cx, cy);
        if (m_initialUpdates > 0)
            ++m_sizesAfterUpdate;
        m_lastSize = {cx, cy};
    }
};

TEST(FormView, MadeFromItsTemplateWithControlsBoundAtTheInitialUpdate) {
    CParent parent;
    ASSERT_TRUE(parent.Create(nullptr, 0, WS_POPUP, {0, 0, 600, 500}, nullptr));
    CTestForm form;
    ASSERT_TRUE(form.Create(&parent, 0xE901, WS_CHILD | WS_VISIBLE, {10, 20, 310, 220}, nullptr));
    EXPECT_EQ(form.GetDlgCtrlID(), 0xE901);
    EXPECT_EQ(form.GetParent(), parent.m_hWnd);
    EXPECT_TRUE(form.GetStyle() & WS_CHILD);
    EXPECT_TRUE(form.IsWindowVisible() || !parent.IsWindowVisible());
    RECT client = form.GetClientRect();
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 200);
    for (int id : {IDC_MESSAGE_LIST, IDC_SORT_ASCENDING, IDC_SORT_DESCENDING, IDC_MESSAGE_FILTER})
        EXPECT_NE(form.GetDlgItem(id), nullptr) << id;

    // Not bound before the initial update.
    EXPECT_EQ(form.m_combo.m_hWnd, nullptr);
    form.SendMessage(WM_INITIALUPDATE);
    EXPECT_EQ(form.m_initialUpdates, 1);
    EXPECT_EQ(form.m_combo.m_hWnd, form.GetDlgItem(IDC_MESSAGE_FILTER));
    EXPECT_EQ(CWnd::FromHandlePermanent(form.m_combo.m_hWnd), &form.m_combo);
    EXPECT_EQ(form.m_radio.GetDlgCtrlID(), IDC_SORT_ASCENDING);
    // The form lays its bound controls out right away.
    EXPECT_EQ(form.m_sizesAfterUpdate, 1);
    EXPECT_EQ(form.m_lastSize.cx, 300);

    // The template's initial entries of the combo box, in order.
    ASSERT_EQ(form.m_combo.GetCount(), 3);
    EXPECT_EQ(form.m_combo.GetLBText(0), L"\u6240\u6709\u4fe1\u606f"); // 所有信息
    EXPECT_EQ(form.m_combo.GetLBText(1), L"\u53d1\u51fa\u4fe1\u606f"); // 发出信息
    EXPECT_EQ(form.m_combo.GetLBText(2), L"\u6536\u5230\u4fe1\u606f"); // 收到信息

    // A second initial update binds nothing twice.
    HWND combo = form.m_combo.m_hWnd;
    form.SendMessage(WM_INITIALUPDATE);
    EXPECT_EQ(form.m_initialUpdates, 2);
    EXPECT_EQ(form.m_combo.m_hWnd, combo);
    EXPECT_EQ(form.m_combo.GetCount(), 3);
}

int g_liveViews = 0;

class CCountedView : public CView {
public:
    static constexpr char kClassName[] = "CCountedView";
    CCountedView() { ++g_liveViews; }
    ~CCountedView() override { --g_liveViews; }
};

TEST(SplitterWnd, PanesByClassLaidOutFromIdealSizes) {
    CParent parent;
    ASSERT_TRUE(parent.Create(nullptr, 0, WS_POPUP, {0, 0, 406, 306}, nullptr));
    {
        CSplitterWnd splitter;
        ASSERT_TRUE(splitter.CreateStatic(&parent, 2, 2));
        EXPECT_EQ(splitter.GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
        for (int row = 0; row < 2; ++row)
            for (int col = 0; col < 2; ++col)
                ASSERT_TRUE(splitter.CreateView(row, col, RuntimeClassOf<CCountedView>(), {100, 50},
                                                nullptr));
        EXPECT_EQ(g_liveViews, 4);
        // A cell is made once.
        EXPECT_FALSE(splitter.CreateView(0, 0, RuntimeClassOf<CCountedView>(), {1, 1}, nullptr));
        EXPECT_FALSE(splitter.CreateView(2, 0, RuntimeClassOf<CCountedView>(), {1, 1}, nullptr));
        EXPECT_EQ(g_liveViews, 4);

        int current = 0, minimum = 0;
        splitter.GetColumnInfo(0, current, minimum);
        EXPECT_EQ(current, 0); // laid out at its creation size: nothing yet
        EXPECT_EQ(minimum, CSplitterWnd::kDefaultMinSize);

        splitter.SetWindowPos(nullptr, 0, 0, 406, 306, SWP_NOZORDER);
        splitter.GetColumnInfo(0, current, minimum);
        EXPECT_EQ(current, 100);
        splitter.GetColumnInfo(1, current, minimum);
        EXPECT_EQ(current, 300);
        splitter.GetRowInfo(1, current, minimum);
        EXPECT_EQ(current, 250);

        CWnd* bottomRight = splitter.GetPane(1, 1);
        ASSERT_NE(dynamic_cast<CCountedView*>(bottomRight), nullptr);
        EXPECT_EQ(bottomRight->GetDlgCtrlID(), splitter.IdFromRowCol(1, 1));
        RECT rect = bottomRight->GetWindowRect();
        ::MapWindowPoints(nullptr, splitter.m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, 100 + CSplitterWnd::kBarSize);
        EXPECT_EQ(rect.top, 50 + CSplitterWnd::kBarSize);
        EXPECT_EQ(rect.right, 406);
        EXPECT_EQ(rect.bottom, 306);

        // Below its minimum a column is hidden; the last takes all.
        splitter.SetColumnInfo(0, 5, 10);
        splitter.RecalcLayout();
        splitter.GetColumnInfo(0, current, minimum);
        EXPECT_EQ(current, 0);
        splitter.GetColumnInfo(1, current, minimum);
        EXPECT_EQ(current, 400);
    }
    // The panes went with the splitter's window.
    EXPECT_EQ(g_liveViews, 0);
}

TEST(TextConvert, GbkToUtf16AndBack) {
    struct Case {
        const char* gbk;
        size_t maxBytes;
        const wchar_t* wide;
    } cases[] = {
        {"\xd0\xc5\xcf\xa2\xb9\xdc\xc0\xed\xc6\xf7", 100, L"\u4fe1\u606f\u7ba1\u7406\u5668"},
        {"abc", 100, L"abc"},
        {"abc", 2, L"ab"},    // never past the bound
        {"ab\0cd", 5, L"ab"}, // stops at the NUL
        {"", 10, L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WideFromGbk(c.gbk, c.maxBytes), c.wide) << c.gbk;
    // A character cut by the bound does not pull in the byte after it.
    std::wstring cut = WideFromGbk("\xd5\xc5\xc8(", 3);
    ASSERT_FALSE(cut.empty());
    EXPECT_EQ(cut[0], L'\u5f20');
    EXPECT_EQ(cut.find(L'('), std::wstring::npos);
    EXPECT_EQ(WideFromGbk(nullptr, 5), L"");
}

TEST(TextConvert, Utf16ToGbkRefusesWhatGbkCannotHold) {
    struct Case {
        const wchar_t* wide;
        bool ok;
        const char* gbk;
    } cases[] = {
        {L"\u4fe1\u606f\u7ba1\u7406\u5668", true, "\xd0\xc5\xcf\xa2\xb9\xdc\xc0\xed\xc6\xf7"},
        {L"Ab1", true, "Ab1"},
        {L"\uff21", true, "\xa3\xc1"}, // full-width A
        {L"", true, ""},
        {nullptr, true, ""},
        {L"a\uac00", false, ""},      // Hangul: GBK has none, not even a look-alike
        {L"\U0001F600", false, ""},   // an emoji
        {L"\u4fe1\u0e01", false, ""}, // Thai after a Chinese character
    };
    for (const Case& c : cases) {
        std::string gbk = "left over";
        EXPECT_EQ(GbkFromWide(c.wide, gbk), c.ok) << (c.wide ? c.wide : L"(null)");
        EXPECT_EQ(gbk, c.gbk);
    }
}

} // namespace
