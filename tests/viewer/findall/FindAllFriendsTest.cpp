// The find-in-every-friend window on a real main frame: what it lists and
// counts, where opening a hit lands, and that a reset or a changed log
// leaves nothing behind that breaks.
#include "FindAllFriendsWnd.h"
#include "MessageListRules.h"
#include "ViewerFixture.h"

#include <map>

namespace {

const char kZhangSan[] = "\xd5\xc5\xc8\xfd"; // 张三
const char kLiSi[] = "\xc0\xee\xcb\xc4";     // 李四
const char kWangWu[] = "\xcd\xf5\xce\xe5";   // 王五

class FindAllFriendsTest : public ViewerTest {
protected:
    void SetUp() override {
        ViewerTest::SetUp();
        // 2026-01-01 00:00:00 UTC and on; the tests run at UTC+8.
        const std::filesystem::path folder = AccountFolder("1234");
        WriteLog(folder, "100.dat",
                 LogBytes("100", kZhangSan,
                          {{1767225600, 0, "hello World"},
                           {1767225660, 1, "\xb5\xda\xb6\xfe\r\nworld again"}, // 第二\r\n...
                           {1767225720, 1, "nothing here"}}));
        WriteLog(folder, "200.dat",
                 LogBytes("200", kLiSi, {{1767312000, 5, "WORLD cup"}, {1767312060, 0, "none"}}));
        WriteLog(folder, "300.dat",
                 LogBytes("300", kWangWu, {{1767398400, 0, "ab\xca\xc0\xbd\xe7 world"}})); // 世界
        Send(kViewerMsgShowAccount, 1, 234);
        m_frame->SendMessage(WM_COMMAND, ID_EDIT_FIND_ALL_FRIENDS);
        Pump();
        m_window = m_frame->GetFindAllFriendsWnd();
        ASSERT_NE(m_window, nullptr);
        ASSERT_TRUE(m_window->IsWindowVisible());
    }

    // Types the text, sets the check box and presses 查找.
    void Search(const wchar_t* text, bool matchCase = false) {
        ::SetDlgItemTextW(m_window->m_hWnd, IDC_FIND_ALL_TEXT, text);
        ::CheckDlgButton(m_window->m_hWnd, IDC_FIND_ALL_MATCH_CASE,
                         matchCase ? BST_CHECKED : BST_UNCHECKED);
        ::SendMessageW(m_window->GetDlgItem(IDC_FIND_ALL_START), BM_CLICK, 0, 0);
        Pump();
    }

    HWND Results() { return m_window->GetDlgItem(IDC_FIND_ALL_RESULTS); }
    std::wstring CountText() {
        wchar_t text[64] = {};
        ::GetDlgItemTextW(m_window->m_hWnd, IDC_FIND_ALL_COUNT, text, 64);
        return text;
    }
    CChatContentTitle& Messages() { return *m_frame->GetMessageListPane(); }
    std::wstring SelectedContent() {
        const int row = ListView_GetNextItem(MessageList(), -1, LVNI_SELECTED);
        return row < 0 ? L"" : ListCellText(MessageList(), row, 3);
    }
    std::wstring ContentSelection() {
        HWND edit = m_frame->GetContentPane()->GetDlgItem(IDC_MESSAGE_EDIT);
        DWORD start = 0, end = 0;
        ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                       reinterpret_cast<LPARAM>(&end));
        return ContentText().substr(start, end - start);
    }
    // A double click on a hit's row, as the mouse makes it.
    void DoubleClickHit(int row) {
        RECT cell = {};
        cell.left = LVIR_BOUNDS;
        ListView_EnsureVisible(Results(), row, FALSE);
        ::SendMessageW(Results(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
        const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
        ::SendMessageW(Results(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        Pump();
    }
    // Enter on a selected hit, through the message loop's dialog handling.
    void PressEnterOnHit(int row) {
        SelectListRow(Results(), row);
        ::SetFocus(Results());
        ::PostMessageW(Results(), WM_KEYDOWN, VK_RETURN, 0);
        ::PostMessageW(Results(), WM_KEYUP, VK_RETURN, 0);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (CWnd::WalkPreTranslateTree(m_frame->m_hWnd, &msg))
                continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        Pump();
    }
    void ChooseFilter(int entry) {
        HWND combo = Messages().GetDlgItem(IDC_MESSAGE_FILTER);
        ::SendMessageW(combo, CB_SETCURSEL, entry, 0);
        ::SendMessageW(Messages().m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_MESSAGE_FILTER, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(combo));
    }

    // The row of a friend's nth hit, or -1.
    int HitRow(const std::wstring& label, int nth) {
        for (int row = 0; row < ListRowCount(Results()); ++row)
            if (ListCellText(Results(), row, 0) == label && nth-- == 0)
                return row;
        return -1;
    }

    CFindAllFriendsWnd* m_window = nullptr;
};

TEST_F(FindAllFriendsTest, ListsEveryHitInTreeAndFileOrderWithItsCount) {
    // Hits of each friend, by label, in file order: {date, time, first line}.
    struct Row {
        std::wstring date, time, line;
    };
    const struct {
        const wchar_t* needle;
        bool matchCase;
        std::map<std::wstring, std::vector<Row>> hits;
    } cases[] = {
        {L"world",
         false,
         {{L"张三(100)",
           {{L"2026-01-01", L"08:00:00", L"hello World"},
            {L"2026-01-01", L"08:01:00", L"world again"}}},
          {L"李四(200)", {{L"2026-01-02", L"08:00:00", L"WORLD cup"}}},
          {L"王五(300)", {{L"2026-01-03", L"08:00:00", L"ab世界 world"}}}}},
        {L"world",
         true,
         {{L"张三(100)", {{L"2026-01-01", L"08:01:00", L"world again"}}},
          {L"王五(300)", {{L"2026-01-03", L"08:00:00", L"ab世界 world"}}}}},
        {L"世界", false, {{L"王五(300)", {{L"2026-01-03", L"08:00:00", L"ab世界 world"}}}}},
        {L"\u0e01", false, {}}, // Thai: GBK cannot hold it
        {L"", false, {}},
        {L"absent", false, {}},
    };
    for (const auto& c : cases) {
        Search(c.needle, c.matchCase);
        std::vector<std::wstring> expected;
        size_t count = 0;
        for (const std::wstring& label : FriendLabels()) {
            auto found = c.hits.find(label);
            if (found == c.hits.end())
                continue;
            for (const Row& row : found->second) {
                expected.push_back(label + L"|" + row.date + L"|" + row.time + L"|" + row.line);
                ++count;
            }
        }
        std::vector<std::wstring> shown;
        for (int row = 0; row < ListRowCount(Results()); ++row) {
            shown.push_back(
                ListCellText(Results(), row, 0) + L"|" + ListCellText(Results(), row, 1) + L"|" +
                ListCellText(Results(), row, 2) + L"|" + ListCellText(Results(), row, 3));
        }
        EXPECT_EQ(shown, expected) << c.needle;
        EXPECT_EQ(CountText(), L"共 " + std::to_wstring(count) + L" 条") << c.needle;
    }
}

TEST_F(FindAllFriendsTest, OpeningAHitSelectsItsFriendRowAndMatch) {
    Search(L"world");
    ASSERT_EQ(ListRowCount(Results()), 4);
    std::vector<WPARAM> selectedLogs;
    m_frame->m_onFriendSelected = [&](WPARAM log) { selectedLogs.push_back(log); };
    const std::vector<std::wstring> labels = FriendLabels();
    // The filter entry and order in force before opening; a hidden row
    // (李四's received message under 发出信息) switches the filter to 所有信息.
    const struct {
        const wchar_t* label;
        int nth;
        int filterEntry;
        bool descending;
        bool byEnter;
        const wchar_t* content;
        const wchar_t* match;
        int32_t filterAfter;
    } cases[] = {
        {L"张三(100)", 0, 0, false, false, L"hello World", L"World", kFilterAll},
        {L"张三(100)", 1, 0, true, true, L"第二\r\nworld again", L"world", kFilterAll},
        {L"李四(200)", 0, 1, false, false, L"WORLD cup", L"WORLD", kFilterAll},
        {L"王五(300)", 0, 1, true, true, L"ab世界 world", L"world", kFilterSent},
    };
    for (const auto& c : cases) {
        ChooseFilter(c.filterEntry);
        ::SendMessageW(
            Messages().GetDlgItem(c.descending ? IDC_SORT_DESCENDING : IDC_SORT_ASCENDING),
            BM_CLICK, 0, 0);
        selectedLogs.clear();
        const int row = HitRow(c.label, c.nth);
        ASSERT_GE(row, 0) << c.label;
        if (c.byEnter)
            PressEnterOnHit(row);
        else
            DoubleClickHit(row);
        const size_t friendIndex =
            std::find(labels.begin(), labels.end(), c.label) - labels.begin();
        EXPECT_EQ(Tree().GetSelectedItem(), FriendItem(friendIndex)) << c.label;
        EXPECT_EQ(Messages().GetCurrentLog(), FriendLog(friendIndex)) << c.label;
        EXPECT_EQ(Messages().GetMessageFilter(), c.filterAfter) << c.label;
        EXPECT_EQ(Messages().GetSortOrder(), c.descending ? kOrderDescending : kOrderAscending);
        EXPECT_EQ(SelectedContent(), c.content) << c.label;
        EXPECT_EQ(ContentText(), c.content) << c.label;
        EXPECT_EQ(ContentSelection(), c.match) << c.label;
    }
    // Each landing on another friend went through the tree's own message.
    EXPECT_FALSE(selectedLogs.empty());
}

TEST_F(FindAllFriendsTest, ResetAndAnotherAccountEmptyItAndAChangedLogBreaksNothing) {
    Search(L"world");
    ASSERT_EQ(ListRowCount(Results()), 4);
    Send(kViewerMsgResetPanes);
    EXPECT_EQ(ListRowCount(Results()), 0);
    EXPECT_EQ(CountText(), L"");

    Send(kViewerMsgShowAccount, 1, 234);
    Search(L"world");
    ASSERT_EQ(ListRowCount(Results()), 4);
    AccountFolder("5678");
    Send(kViewerMsgShowAccount, 5, 678);
    EXPECT_EQ(ListRowCount(Results()), 0);
    EXPECT_FALSE(m_window->OpenHit(0));

    // Back to the account; 王五's log is rewritten shorter after the search:
    // its hit leads nowhere now, and opening it only selects the friend.
    Send(kViewerMsgShowAccount, 1, 234);
    Search(L"world");
    ASSERT_EQ(ListRowCount(Results()), 4);
    WriteLog(AccountFolder("1234"), "300.dat", LogBytes("300", kWangWu, {}));
    EXPECT_FALSE(m_window->OpenHit(static_cast<size_t>(HitRow(L"王五(300)", 0))));
    EXPECT_EQ(MessageRows(), 0);
    EXPECT_EQ(ContentText(), L"");
    EXPECT_TRUE(m_window->OpenHit(static_cast<size_t>(HitRow(L"张三(100)", 0))));
    EXPECT_EQ(ContentText(), L"hello World");
}

// A log of `bytes` made `size` bytes long by a hole: a sparse file, which
// costs no disk and reads as zeros.
void WriteSparseLog(const std::filesystem::path& path, const std::string& bytes,
                    std::uint64_t size) {
    CKernelHandle file(::CreateFileW(path.wstring().c_str(), GENERIC_WRITE, 0, nullptr,
                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file.IsValid());
    DWORD written = 0;
    ASSERT_TRUE(
        ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    ASSERT_TRUE(::SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(::SetEndOfFile(file.Get()));
}

TEST_F(FindAllFriendsTest, ABigLogIsSearchedInPiecesAndTheHitsKeptAreCapped) {
    // A log of 5 GiB whose records end after two (the rest reads as zeros),
    // and one of more hits than are kept.
    const std::filesystem::path folder = AccountFolder("5678");
    WriteSparseLog(folder / "1.dat",
                   LogBytes("1", kZhangSan, {{1, 0, "a needle"}, {2, 1, "needle two"}}),
                   5ull << 30);
    std::vector<LogRecord> many(CFindAllResults::kMaxKeptHits + 1, {3, 0, "needle"});
    WriteLog(folder, "2.dat", LogBytes("2", kLiSi, many));
    Send(kViewerMsgShowAccount, 5, 678);

    Search(L"needle");
    EXPECT_EQ(CountText(), L"共 100,003 条，显示前 100,000 条");
    ASSERT_EQ(ListRowCount(Results()), static_cast<int>(CFindAllResults::kMaxKeptHits));
    EXPECT_EQ(ListCellText(Results(), 0, 3), L"a needle");
    EXPECT_EQ(ListCellText(Results(), 1, 3), L"needle two");
    EXPECT_EQ(ListCellText(Results(), 2, 0), L"李四(2)");
}

// Pixels of a control as the screen shows it that are not the dialog's face.
int DrawnPixels(HWND control) {
    RECT r{};
    ::GetWindowRect(control, &r);
    HDC screen = ::GetDC(nullptr);
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    int drawn = 0;
    for (int y = r.top + 1; y < r.bottom - 1; ++y)
        for (int x = r.left + 1; x < r.right - 1; ++x)
            drawn += ::GetPixel(screen, x, y) != face ? 1 : 0;
    ::ReleaseDC(nullptr, screen);
    return drawn;
}

TEST_F(FindAllFriendsTest, ItsControlsFollowEverySizeAndStayDrawn) {
    Search(L"world");
    const HWND window = m_window->m_hWnd;
    const HWND button = m_window->GetDlgItem(IDC_FIND_ALL_START);
    const HWND count = m_window->GetDlgItem(IDC_FIND_ALL_COUNT);
    ::SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
    Pump();
    const int buttonDrawn = DrawnPixels(button);
    const int countDrawn = DrawnPixels(count);
    ASSERT_GT(buttonDrawn, 0);
    ASSERT_GT(countDrawn, 0);
    const RECT start = m_window->GetWindowRect();
    const struct {
        int widen; // pixels wider than at first; -1: maximized
    } cases[] = {{40}, {300}, {-1}, {0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.widen);
        if (c.widen < 0) {
            ::ShowWindow(window, SW_MAXIMIZE);
        } else {
            ::ShowWindow(window, SW_RESTORE);
            ::SetWindowPos(window, nullptr, 0, 0, start.right - start.left + c.widen,
                           start.bottom - start.top, SWP_NOMOVE | SWP_NOZORDER);
        }
        Pump();
        ::Sleep(100); // the display server's own repainting
        Pump();
        const RECT client = m_window->GetClientRect();
        RECT list{}, placed{};
        ::GetWindowRect(Results(), &list);
        ::GetWindowRect(button, &placed);
        EXPECT_EQ(placed.right, list.right); // at the right edge, as the list
        ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&placed), 2);
        EXPECT_LE(placed.right, client.right);
        EXPECT_GE(DrawnPixels(button), buttonDrawn * 3 / 4);
        EXPECT_GE(DrawnPixels(count), countDrawn * 3 / 4);
    }
}

// The 32-bit build gets the addresses past 2 GiB that 64-bit Windows offers
// it: every program of the build is linked so, this one as the viewer.
TEST(LargeAddressSpace, TheProgramTakesAddressesPast2GiB) {
    const auto* base = reinterpret_cast<const unsigned char*>(::GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    EXPECT_NE(nt->FileHeader.Characteristics & IMAGE_FILE_LARGE_ADDRESS_AWARE, 0);
}

} // namespace
