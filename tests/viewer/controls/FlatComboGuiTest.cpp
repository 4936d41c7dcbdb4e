// The flat combo box on a parent that reflects notifications, as the form
// does: its looks read back as pixels, its focus, paint, colour and key
// handling, and completion in a combo box with an edit field.
#include "CJFlatComboBox.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The parent: records which notifications of control 1005 reached it.
class CParentWnd : public CWnd {
public:
    std::vector<UINT> m_codes;

protected:
    BOOL OnCommand(UINT id, UINT code, HWND control) override {
        if (id == 1005) {
            m_codes.push_back(code);
        }
        return TRUE;
    }
};

// One parent, made once and left to the end of the process: under a display
// without a window manager, Wine takes two seconds to take a visible
// top-level window down, while a process that ends with it open ends at once.
class FlatCombo : public testing::Test {
protected:
    static void SetUpTestSuite() {
        CWnd::RegisterClass(kGenericWndClass, CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW),
                            reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
        if (s_parent != nullptr) {
            return;
        }
        s_parent = new CParentWnd;
        s_parent->CreateEx(0, kGenericWndClass, L"parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300,
                           200, 400, 300, nullptr, 0);
    }
    void SetUp() override {
        ASSERT_TRUE(m_parent.IsWindow());
        m_parent.m_codes.clear();
        ::SetForegroundWindow(m_parent.m_hWnd);
        ::SetFocus(m_parent.m_hWnd);
        // Far from everything, so no paint counts as "under the pointer" by accident.
        ::SetCursorPos(1200, 780);
    }
    void TearDown() override {
        for (HWND hwnd : m_made) {
            ::DestroyWindow(hwnd);
        }
    }

    HWND MakeCombo(DWORD style, DWORD exStyle = 0, int id = 1005) {
        HWND hwnd = ::CreateWindowExW(exStyle, WC_COMBOBOXW, L"", WS_CHILD | WS_VISIBLE | style, 20,
                                      20, 150, 200, m_parent.m_hWnd,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                      ::GetModuleHandleW(nullptr), nullptr);
        m_made.push_back(hwnd);
        for (const wchar_t* entry : {L"Abc", L"Xyz", L"Abd"}) {
            ::SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
        }
        return hwnd;
    }
    void Attach(CCJFlatComboBox& combo, HWND hwnd) {
        ASSERT_TRUE(combo.SubclassWindow(hwnd));
        ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    static COLORREF Pixel(HWND hwnd, int x, int y) {
        HDC dc = ::GetDC(hwnd);
        COLORREF c = ::GetPixel(dc, x, y);
        ::ReleaseDC(hwnd, dc);
        return c;
    }
    static SIZE ClientSize(HWND hwnd) {
        RECT r{};
        ::GetClientRect(hwnd, &r);
        return SIZE{r.right, r.bottom};
    }
    void Repaint(HWND hwnd) {
        ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }

    static inline CParentWnd* s_parent = nullptr;
    CParentWnd& m_parent = *s_parent;
    std::vector<HWND> m_made;
};

// Pixels of each look, as the frame rule paints them: outer ring, inner ring
// over the standard border, and the button's frames.
TEST_F(FlatCombo, FlatHotAndDisabledLooks) {
    CCJFlatComboBox combo;
    HWND hwnd = MakeCombo(CBS_DROPDOWNLIST | WS_VSCROLL);
    Attach(combo, hwnd);
    const COLORREF F = ::GetSysColor(COLOR_BTNFACE), H = ::GetSysColor(COLOR_BTNHIGHLIGHT),
                   S = ::GetSysColor(COLOR_BTNSHADOW);
    ASSERT_NE(F, H);
    ASSERT_NE(F, S);
    ASSERT_NE(H, S);
    const SIZE size = ClientSize(hwnd);
    const int w = size.cx, h = size.cy, mid = h / 2, bw = ::GetSystemMetrics(SM_CXHTHUMB);
    ASSERT_GT(w, bw + 10);
    ASSERT_GT(h, 8);

    struct Probe {
        int x, y;
        COLORREF flat, hot, disabled;
    };
    const Probe probes[] = {
        {0, mid, F, S, S},            // outer ring, left
        {w / 3, 0, F, S, S},          // outer ring, top
        {w - 1, mid, F, H, H},        // outer ring, right
        {w / 3, h - 1, F, H, H},      // outer ring, bottom
        {1, mid, F, F, H},            // inner ring: face, or highlight when disabled
        {w / 3, 1, F, F, H},          //
        {w - 2 - bw, mid, H, F, F},   // ring left of the button
        {w - 1 - bw, mid, H, H, F},   // button's left edge
        {w - 4, mid, H, S, F},        // button's right edge
        {w - bw + 2, h - 3, H, S, F}, // button's bottom edge
    };
    for (int pass = 0; pass < 3; ++pass) {
        if (pass == 2) {
            ::EnableWindow(hwnd, FALSE);
            Repaint(hwnd);
        }
        if (pass == 0) {
            combo.DrawBorder(CCJFlatComboBox::kLookFlat, F, F);
        } else {
            combo.DrawBorder(CCJFlatComboBox::kLookHot, S, H);
        }
        for (const Probe& p : probes) {
            const COLORREF want = pass == 0 ? p.flat : pass == 1 ? p.hot : p.disabled;
            EXPECT_EQ(Pixel(hwnd, p.x, p.y), want) << (pass == 0   ? "flat"
                                                       : pass == 1 ? "hot"
                                                                   : "disabled")
                                                   << " at " << p.x << "," << p.y;
        }
    }
}

TEST_F(FlatCombo, PaintUnderThePointerIsHotUntilTheNextPaint) {
    CCJFlatComboBox combo;
    HWND hwnd = MakeCombo(CBS_DROPDOWNLIST | WS_VSCROLL);
    Attach(combo, hwnd);
    const SIZE size = ClientSize(hwnd);
    EXPECT_EQ(Pixel(hwnd, 0, size.cy / 2), ::GetSysColor(COLOR_BTNFACE));

    RECT window{};
    ::GetWindowRect(hwnd, &window);
    ::SetCursorPos((window.left + window.right) / 2, (window.top + window.bottom) / 2);
    Repaint(hwnd);
    EXPECT_EQ(Pixel(hwnd, 0, size.cy / 2), ::GetSysColor(COLOR_BTNSHADOW));

    // The pointer leaves: nothing tracks it, the hot look stays...
    ::SetCursorPos(1200, 780);
    EXPECT_EQ(Pixel(hwnd, 0, size.cy / 2), ::GetSysColor(COLOR_BTNSHADOW));
    // ...until the next paint.
    Repaint(hwnd);
    EXPECT_EQ(Pixel(hwnd, 0, size.cy / 2), ::GetSysColor(COLOR_BTNFACE));
}

TEST_F(FlatCombo, FocusIsHotLosingItIsFlatEvenUnderThePointer) {
    CCJFlatComboBox combo;
    HWND hwnd = MakeCombo(CBS_DROPDOWNLIST | WS_VSCROLL);
    HWND other = MakeCombo(CBS_DROPDOWNLIST, 0, 1006);
    Attach(combo, hwnd);
    const int mid = ClientSize(hwnd).cy / 2;

    ::SetFocus(hwnd);
    ASSERT_EQ(::GetFocus(), hwnd);
    EXPECT_EQ(Pixel(hwnd, 0, mid), ::GetSysColor(COLOR_BTNSHADOW));
    Repaint(hwnd); // focus alone keeps it hot through paints
    EXPECT_EQ(Pixel(hwnd, 0, mid), ::GetSysColor(COLOR_BTNSHADOW));

    RECT window{};
    ::GetWindowRect(hwnd, &window);
    ::SetCursorPos(window.left + 5, window.top + 5);
    ::SetFocus(other);
    EXPECT_EQ(Pixel(hwnd, 0, mid), ::GetSysColor(COLOR_BTNFACE));

    // The focus notifications were the control's alone.
    for (UINT code : m_parent.m_codes) {
        EXPECT_NE(code, UINT{CBN_SETFOCUS});
        EXPECT_NE(code, UINT{CBN_KILLFOCUS});
    }
}

TEST_F(FlatCombo, SelectionChangesStillReachTheParent) {
    CCJFlatComboBox combo;
    HWND hwnd = MakeCombo(CBS_DROPDOWNLIST | WS_VSCROLL);
    Attach(combo, hwnd);
    ::SendMessageW(hwnd, CB_SETCURSEL, 0, 0);
    ::SetFocus(hwnd);
    m_parent.m_codes.clear();
    ::SendMessageW(hwnd, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(::SendMessageW(hwnd, CB_GETCURSEL, 0, 0), 1);
    EXPECT_NE(std::find(m_parent.m_codes.begin(), m_parent.m_codes.end(), UINT{CBN_SELCHANGE}),
              m_parent.m_codes.end());
}

TEST_F(FlatCombo, EdgeStylesGoAtTheFirstPaint) {
    CCJFlatComboBox combo;
    HWND hwnd = MakeCombo(CBS_DROPDOWNLIST, WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME);
    // The platform's combo box drops a client edge itself at creation; put
    // every edge style back so that only the flat box can take them away.
    const DWORD edges = WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME;
    ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) | edges);
    ASSERT_EQ(static_cast<DWORD>(::GetWindowLongPtrW(hwnd, GWL_EXSTYLE)) & edges, edges);
    ASSERT_TRUE(combo.SubclassWindow(hwnd));
    Repaint(hwnd);
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongPtrW(hwnd, GWL_EXSTYLE)) & edges, 0u);
}

TEST_F(FlatCombo, ButtonUpAsksForARepaint) {
    CCJFlatComboBox combo;
    HWND hwnd = MakeCombo(CBS_DROPDOWNLIST);
    Attach(combo, hwnd);
    ::ValidateRect(hwnd, nullptr);
    ASSERT_FALSE(::GetUpdateRect(hwnd, nullptr, FALSE));
    ::SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(::GetUpdateRect(hwnd, nullptr, FALSE));
}

TEST_F(FlatCombo, SystemColourChangeTakesNewColoursKeepsButtonWidth) {
    CCJFlatComboBox combo;
    HWND hwnd = MakeCombo(CBS_DROPDOWNLIST);
    Attach(combo, hwnd);
    const int bw = ::GetSystemMetrics(SM_CXHTHUMB); // as the control was made
    const INT elements[] = {COLOR_BTNFACE, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW};
    COLORREF saved[3];
    for (int i = 0; i < 3; ++i) {
        saved[i] = ::GetSysColor(elements[i]);
    }
    const COLORREF changed[] = {RGB(10, 20, 30), RGB(200, 210, 220), RGB(90, 80, 70)};
    ASSERT_TRUE(::SetSysColors(3, elements, changed));
    ::SendMessageW(hwnd, WM_SYSCOLORCHANGE, 0, 0);
    const SIZE size = ClientSize(hwnd);
    const int w = size.cx, mid = size.cy / 2;
    ::SetCursorPos(1200, 780);
    Repaint(hwnd);
    const COLORREF flatRing = Pixel(hwnd, 0, mid);
    ::SetFocus(hwnd); // hot: shadow left, highlight right and on the button's edge
    const COLORREF hotLeft = Pixel(hwnd, 0, mid), hotRight = Pixel(hwnd, w - 1, mid);
    const COLORREF buttonEdge = Pixel(hwnd, w - 1 - bw, mid),
                   besideButton = Pixel(hwnd, w - 2 - bw, mid);
    ::SetSysColors(3, elements, saved);

    EXPECT_EQ(flatRing, changed[0]);
    EXPECT_EQ(hotLeft, changed[2]);
    EXPECT_EQ(hotRight, changed[1]);
    EXPECT_EQ(buttonEdge, changed[1]);
    EXPECT_EQ(besideButton, changed[0]);
}

TEST_F(FlatCombo, AltLetterNeverReachesTranslation) {
    CCJFlatComboBox combo;
    HWND hwnd = MakeCombo(CBS_DROPDOWNLIST);
    Attach(combo, hwnd);
    MSG sysChar{hwnd, WM_SYSCHAR, 'f', 0x20000000, 0, {}};
    MSG plainChar{hwnd, WM_CHAR, 'f', 0, 0, {}};
    EXPECT_TRUE(combo.PreTranslateMessage(&sysChar));
    EXPECT_FALSE(combo.PreTranslateMessage(&plainChar));
    // The loop's walk from the control up to the main window stops there too.
    EXPECT_TRUE(CWnd::WalkPreTranslateTree(m_parent.m_hWnd, &sysChar));
}

class AutoComplete : public FlatCombo {
protected:
    void SetUp() override {
        FlatCombo::SetUp();
        m_hwnd = MakeCombo(CBS_DROPDOWN | WS_VSCROLL);
        ASSERT_TRUE(m_combo.SubclassWindow(m_hwnd));
        m_edit = ::FindWindowExW(m_hwnd, nullptr, L"Edit", nullptr);
        ASSERT_NE(m_edit, nullptr);
        ::SetFocus(m_edit);
    }
    void Type(const wchar_t* keys) {
        for (; *keys; ++keys) {
            ::SendMessageW(m_edit, WM_CHAR, *keys, 0);
        }
    }
    std::wstring Text() const {
        wchar_t buffer[64] = {};
        ::GetWindowTextW(m_hwnd, buffer, 64);
        return buffer;
    }
    std::pair<int, int> Selection() const {
        DWORD sel = static_cast<DWORD>(::SendMessageW(m_hwnd, CB_GETEDITSEL, 0, 0));
        return {LOWORD(sel), HIWORD(sel)};
    }

    CCJFlatComboBox m_combo;
    HWND m_hwnd = nullptr;
    HWND m_edit = nullptr;
};

TEST_F(AutoComplete, TypingTheStartOfAnEntryCompletesItWithTheRestSelected) {
    Type(L"ab");
    EXPECT_EQ(Text(), L"Abc"); // the first entry from the top, its own case
    EXPECT_EQ(Selection(), std::make_pair(2, 3));
    Type(L"d"); // replaces the selected "c"
    EXPECT_EQ(Text(), L"Abd");
    EXPECT_EQ(Selection(), std::make_pair(3, 3));
}

TEST_F(AutoComplete, TextThatBeginsNoEntryStaysAsTyped) {
    Type(L"qu");
    EXPECT_EQ(Text(), L"qu");
    EXPECT_EQ(Selection(), std::make_pair(2, 2));
}

TEST_F(AutoComplete, EditingInTheMiddleKeepsTheCaret) {
    ::SetWindowTextW(m_hwnd, L"Xz");
    ::SendMessageW(m_hwnd, CB_SETEDITSEL, 0, MAKELPARAM(1, 1));
    Type(L"y");
    EXPECT_EQ(Text(), L"Xyz");
    EXPECT_EQ(Selection(), std::make_pair(2, 2));
}

} // namespace
