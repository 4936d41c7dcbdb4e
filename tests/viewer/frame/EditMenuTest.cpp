// The 编辑 menu on a real main frame: 复制 read back from the clipboard,
// 转到日期 through its dialog's picker, 查找 through the system's Find
// dialog's own controls, F3 and Shift+F3.
#include "FindAllFriendsWnd.h"
#include "ViewerFixture.h"

#include <dlgs.h>

#include <functional>

namespace {

const char kZhangSan[] = "\xd5\xc5\xc8\xfd"; // 张三

// Answers a modal window that a command opens: `answer` runs from a timer
// inside the modal loop until it says it is done.
std::function<bool()> g_answer;
bool g_answered = false;

void CALLBACK AnswerTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (g_answer && !g_answered && g_answer())
        g_answered = true;
}

bool WhileModal(const std::function<bool()>& answer, const std::function<void()>& command) {
    g_answer = answer;
    g_answered = false;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, &AnswerTimer);
    command();
    ::KillTimer(nullptr, timer);
    g_answer = nullptr;
    return g_answered;
}

// The visible dialog of this thread owned by `owner` that has (or, for a
// message box, lacks) the control `id`.
struct DialogQuery {
    HWND owner;
    int id;
    bool has;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND hwnd, LPARAM data) {
    auto* q = reinterpret_cast<DialogQuery*>(data);
    wchar_t name[16] = {};
    ::GetClassNameW(hwnd, name, 16);
    if (::lstrcmpW(name, L"#32770") == 0 && ::IsWindowVisible(hwnd) &&
        ::GetWindow(hwnd, GW_OWNER) == q->owner &&
        (::GetDlgItem(hwnd, q->id) != nullptr) == q->has) {
        q->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND OwnedDialog(HWND owner, int id, bool has = true) {
    DialogQuery query{owner, id, has, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), &MatchDialog, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

// Every static text of a window, one after the other.
std::wstring StaticTexts(HWND window) {
    std::wstring texts;
    for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[16] = {}, text[256] = {};
        ::GetClassNameW(child, name, 16);
        if (::lstrcmpiW(name, L"Static") == 0 && ::GetWindowTextW(child, text, 256) > 0)
            texts += text;
    }
    return texts;
}

std::wstring ClipboardText() {
    std::wstring text;
    if (!::OpenClipboard(nullptr))
        return L"(clipboard not open)";
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text = chars;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

void SetClipboardText(const std::wstring& text) {
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::memcpy(::GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    ::GlobalUnlock(memory);
    ::SetClipboardData(CF_UNICODETEXT, memory);
    ::CloseClipboard();
}

class EditMenuTest : public ViewerTest {
protected:
    // One friend, selected, with these messages.
    void ShowFriend(const std::vector<LogRecord>& records) {
        WriteLog(AccountFolder("1234"), "11.dat", LogBytes("11", kZhangSan, records));
        Send(kViewerMsgShowAccount, 1, 234);
        Send(kViewerMsgSelectFriend, 1, 1);
        ASSERT_EQ(MessageRows(), static_cast<int>(records.size()));
    }
    void Command(UINT id) { Send(WM_COMMAND, MAKEWPARAM(id, 1), 0); }
    CChatContentTitle& Messages() { return *m_frame->GetMessageListPane(); }
    HWND ContentEdit() { return ::GetDlgItem(m_frame->GetContentPane()->m_hWnd, IDC_MESSAGE_EDIT); }
    std::wstring SelectedContent() {
        return ListCellText(MessageList(), Messages().SelectedRow(), 3);
    }
    void ClickOrder(int button) {
        ::SendMessageW(::GetDlgItem(Messages().m_hWnd, button), BM_CLICK, 0, 0);
    }
};

TEST_F(EditMenuTest, CopyTakesTheSelectedMessageWithItsHeadOrTheContentPanesSelection) {
    ShowFriend({{1704110400, 0, "one"},
                {1704196800, 1, "\xc4\xe3\xba\xc3\nsecond\r\nthird\rend"}}); // 你好
    const HWND list = MessageList();
    ::SetFocus(list);
    ASSERT_EQ(::GetFocus(), list);

    // Nothing selected: the clipboard keeps what it held.
    SetClipboardText(L"kept");
    Command(ID_EDIT_COPY);
    EXPECT_EQ(ClipboardText(), L"kept");

    SelectListRow(list, 1);
    Command(ID_EDIT_COPY);
    const std::wstring head = ListCellText(list, 1, 0) + L" " + ListCellText(list, 1, 1) + L" " +
                              ListCellText(list, 1, 2) + L"\r\n";
    EXPECT_EQ(ListCellText(list, 1, 0), L"\u5f20\u4e09");
    EXPECT_EQ(ClipboardText(), head + L"\u4f60\u597d\r\nsecond\r\nthird\r\nend");

    // The content pane copies its own selection, as before.
    ::SetFocus(ContentEdit());
    ::SendMessageW(ContentEdit(), EM_SETSEL, 0, 2);
    Command(ID_EDIT_COPY);
    EXPECT_EQ(ClipboardText(), L"\u4f60\u597d");
}

TEST_F(EditMenuTest, GoToDateSelectsTheDaysFirstShownRowElseTheNearest) {
    // Noon UTC, so the local date is the same in every time zone Wine may
    // have; stored out of time order on purpose.
    ShowFriend({{1704456000, 0, "jan5"},    // 2024-01-05 12:00
                {1704110400, 1, "jan1"},    // 2024-01-01
                {1704459600, 1, "jan5b"},   // 2024-01-05 13:00
                {1704888000, 0, "jan10"}}); // 2024-01-10
    struct Case {
        int order; // the button clicked first
        WORD year, month, day;
        bool ok;
        const wchar_t* selected;
    };
    const Case cases[] = {
        {IDC_SORT_ASCENDING, 2024, 1, 5, true, L"jan5"},
        {IDC_SORT_DESCENDING, 2024, 1, 5, true, L"jan5b"},
        {IDC_SORT_ASCENDING, 2024, 1, 2, true, L"jan1"},  // half a day after it
        {IDC_SORT_ASCENDING, 2024, 1, 9, true, L"jan10"}, // half a day before it
        {IDC_SORT_DESCENDING, 2023, 6, 1, true, L"jan1"},
        {IDC_SORT_ASCENDING, 2030, 1, 1, true, L"jan10"},
        {IDC_SORT_ASCENDING, 2024, 1, 10, false, L"jan10"}, // cancelled: nothing moves
    };
    for (const Case& c : cases) {
        ClickOrder(c.order);
        SelectListRow(MessageList(), 0);
        const std::wstring before = SelectedContent();
        const bool answered = WhileModal(
            [&] {
                HWND dialog = OwnedDialog(m_frame->m_hWnd, IDC_GOTO_DATE_PICKER);
                if (dialog == nullptr)
                    return false;
                SYSTEMTIME date = {};
                date.wYear = c.year;
                date.wMonth = c.month;
                date.wDay = c.day;
                ::SendDlgItemMessageW(dialog, IDC_GOTO_DATE_PICKER, DTM_SETSYSTEMTIME, GDT_VALID,
                                      reinterpret_cast<LPARAM>(&date));
                ::SendDlgItemMessageW(dialog, c.ok ? IDOK : IDCANCEL, BM_CLICK, 0, 0);
                return true;
            },
            [&] { Command(ID_EDIT_GOTO_DATE); });
        ASSERT_TRUE(answered) << c.month << "/" << c.day;
        const std::wstring expected = c.ok ? std::wstring(c.selected) : before;
        EXPECT_EQ(SelectedContent(), expected) << c.year << "-" << c.month << "-" << c.day;
        EXPECT_EQ(ContentText(), expected) << c.year << "-" << c.month << "-" << c.day;
    }
}

// Steps of one find session, each acting on the state the last left.
enum class FindAction { DialogClick, F3, ShiftF3, Descending, CloseAndReopen };

struct FindStep {
    FindAction action;
    const wchar_t* text; // typed into the dialog (DialogClick)
    bool matchCase, down;
    int row;                 // selected afterwards (-1: none)
    int selStart, selEnd;    // the content pane's selection
    const wchar_t* notFound; // the needle the message names, or null
};

TEST_F(EditMenuTest, FindThroughTheDialogsOwnControlsAndF3) {
    // Before any friend: nothing to search, the same message.
    Command(ID_EDIT_FIND);
    HWND dialog = OwnedDialog(m_frame->m_hWnd, edt1);
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dialog, chx1))); // whole word: hidden
    ::SetDlgItemTextW(dialog, edt1, L"hello");
    std::wstring message;
    auto answerMessageBox = [&] {
        HWND box = OwnedDialog(dialog, edt1, false);
        if (box == nullptr)
            box = OwnedDialog(m_frame->m_hWnd, edt1, false);
        if (box == nullptr)
            return false;
        message = StaticTexts(box);
        ::SendMessageW(box, WM_COMMAND, IDOK, 0);
        return true;
    };
    EXPECT_TRUE(
        WhileModal(answerMessageBox, [&] { ::SendDlgItemMessageW(dialog, IDOK, BM_CLICK, 0, 0); }));
    EXPECT_NE(message.find(L"hello"), std::wstring::npos) << message;

    ShowFriend({{1, 0, "hello world"},
                {2, 1, "\xc4\xe3\xba\xc3 Hello"}, // 你好
                {3, 1, "nothing here"},
                {4, 0, "say HELLO again"},
                {5, 1, "line one\nsecond hello"}});
    const FindStep steps[] = {
        {FindAction::DialogClick, L"hello", true, true, 0, 0, 5, nullptr},
        {FindAction::DialogClick, L"hello", true, true, 4, 16, 21, nullptr},
        {FindAction::DialogClick, L"hello", true, true, 4, 16, 21, L"hello"},
        {FindAction::DialogClick, L"hello", false, false, 3, 4, 9, nullptr},
        {FindAction::ShiftF3, nullptr, false, false, 1, 3, 8, nullptr},
        {FindAction::ShiftF3, nullptr, false, false, 0, 0, 5, nullptr},
        {FindAction::ShiftF3, nullptr, false, false, 0, 0, 5, L"hello"},
        {FindAction::F3, nullptr, false, true, 1, 3, 8, nullptr},
        // Descending: the rows read 4, 3, 2, 1, 0 of the file, none selected.
        {FindAction::Descending, nullptr, false, true, -1, 0, 0, nullptr},
        {FindAction::F3, nullptr, false, true, 0, 16, 21, nullptr},
        {FindAction::F3, nullptr, false, true, 1, 4, 9, nullptr},
        {FindAction::DialogClick, L"\uac00", false, true, 1, 4, 9, L"\uac00"}, // no GBK form
        {FindAction::DialogClick, L"\u4f60\u597d", false, true, 3, 0, 2, nullptr},
        {FindAction::CloseAndReopen, L"\u4f60\u597d", false, true, 3, 0, 2, nullptr},
    };
    for (const FindStep& step : steps) {
        SCOPED_TRACE(static_cast<int>(&step - steps));
        message.clear();
        const bool boxShown = WhileModal(answerMessageBox, [&] {
            switch (step.action) {
            case FindAction::DialogClick:
                ::SetDlgItemTextW(dialog, edt1, step.text);
                ::SendDlgItemMessageW(dialog, chx2, BM_SETCHECK,
                                      step.matchCase ? BST_CHECKED : BST_UNCHECKED, 0);
                ::SendDlgItemMessageW(dialog, step.down ? rad2 : rad1, BM_CLICK, 0, 0);
                ::SendDlgItemMessageW(dialog, IDOK, BM_CLICK, 0, 0);
                break;
            case FindAction::F3:
                Command(ID_EDIT_FIND_NEXT);
                break;
            case FindAction::ShiftF3:
                Command(ID_EDIT_FIND_PREVIOUS);
                break;
            case FindAction::Descending:
                ClickOrder(IDC_SORT_DESCENDING);
                break;
            case FindAction::CloseAndReopen:
                ::SendDlgItemMessageW(dialog, IDCANCEL, BM_CLICK, 0, 0);
                Pump();
                ASSERT_FALSE(::IsWindow(dialog));
                Command(ID_EDIT_FIND);
                dialog = OwnedDialog(m_frame->m_hWnd, edt1);
                ASSERT_NE(dialog, nullptr);
                break;
            }
        });
        EXPECT_EQ(boxShown, step.notFound != nullptr) << message;
        if (step.notFound != nullptr) {
            EXPECT_NE(message.find(step.notFound), std::wstring::npos) << message;
        }
        ASSERT_EQ(Messages().SelectedRow(), step.row);
        if (step.row < 0)
            continue;
        EXPECT_EQ(ContentText(), ListCellText(MessageList(), step.row, 3));
        DWORD start = 0, end = 0;
        ::SendMessageW(ContentEdit(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                       reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(static_cast<int>(start), step.selStart);
        EXPECT_EQ(static_cast<int>(end), step.selEnd);
        // The Find dialog keeps the keyboard.
        if (step.action == FindAction::DialogClick) {
            const HWND focus = ::GetFocus();
            EXPECT_TRUE(focus == nullptr || focus == dialog || ::IsChild(dialog, focus));
        }
    }
    // The reopened dialog holds the last text and options.
    wchar_t text[32] = {};
    ::GetDlgItemTextW(dialog, edt1, text, 32);
    EXPECT_STREQ(text, L"\u4f60\u597d");
    EXPECT_EQ(::SendDlgItemMessageW(dialog, chx2, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(::SendDlgItemMessageW(dialog, rad2, BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(EditMenuTest, TheFindMessageIsTakenOnlyWithTheOpenDialogsOwnRecord) {
    ShowFriend({{1, 0, "hello"}, {2, 1, "hello again"}});
    SelectListRow(MessageList(), 0);
    Command(ID_EDIT_FIND);
    HWND dialog = OwnedDialog(m_frame->m_hWnd, edt1);
    ASSERT_NE(dialog, nullptr);
    ::SetDlgItemTextW(dialog, edt1, L"hello");
    // A record of the right shape that is not the dialog's, and addresses
    // that hold nothing: each is ignored, nothing read through it.
    wchar_t text[] = L"hello";
    FINDREPLACEW forged = {};
    forged.lStructSize = sizeof forged;
    forged.hwndOwner = m_frame->m_hWnd;
    forged.Flags = FR_FINDNEXT | FR_DOWN;
    forged.lpstrFindWhat = text;
    forged.wFindWhatLen = 6;
    const LPARAM others[] = {reinterpret_cast<LPARAM>(&forged), 1, 0x1000, -1};
    const UINT message = ::RegisterWindowMessageW(FINDMSGSTRINGW);
    for (LPARAM other : others) {
        const bool boxShown = WhileModal([] { return false; }, [&] { Send(message, 0, other); });
        EXPECT_FALSE(boxShown) << other;
        EXPECT_EQ(Messages().SelectedRow(), 0) << other;
    }
    // The dialog's own report still finds.
    ::SendDlgItemMessageW(dialog, IDOK, BM_CLICK, 0, 0);
    EXPECT_EQ(Messages().SelectedRow(), 1);
}

TEST_F(EditMenuTest, TheFindFieldsTakeAtMost255Characters) {
    Command(ID_EDIT_FIND);
    const HWND findDialog = OwnedDialog(m_frame->m_hWnd, edt1);
    ASSERT_NE(findDialog, nullptr);
    Command(ID_EDIT_FIND_ALL_FRIENDS);
    ASSERT_NE(m_frame->GetFindAllFriendsWnd(), nullptr);
    const HWND fields[] = {::GetDlgItem(findDialog, edt1),
                           m_frame->GetFindAllFriendsWnd()->GetDlgItem(IDC_FIND_ALL_TEXT)};
    const std::wstring typed(300, L'\u54c8'); // 哈, as typing or pasting puts it in
    for (HWND field : fields) {
        ASSERT_NE(field, nullptr);
        ::SendMessageW(field, EM_SETSEL, 0, -1);
        ::SendMessageW(field, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(typed.c_str()));
        EXPECT_EQ(::GetWindowTextLengthW(field), 255);
    }
}

// How many pixels of the edit control, painted as it is now, have the
// selection's colour.
int HighlightedPixels(HWND edit) {
    RECT client{};
    ::GetClientRect(edit, &client);
    HDC screen = ::GetDC(edit);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::SendMessageW(edit, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    const COLORREF highlight = ::GetNearestColor(memory, ::GetSysColor(COLOR_HIGHLIGHT));
    int count = 0;
    for (int y = 0; y < client.bottom; y += 2)
        for (int x = 0; x < client.right; x += 2)
            count += ::GetPixel(memory, x, y) == highlight ? 1 : 0;
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(edit, screen);
    return count;
}

TEST_F(EditMenuTest, TheMatchShowsSelectedWhileTheFindDialogKeepsTheKeyboard) {
    ShowFriend({{1, 0, "nothing"}, {2, 1, "a long line with the word found in it"}});
    Command(ID_EDIT_FIND);
    HWND dialog = OwnedDialog(m_frame->m_hWnd, edt1);
    ASSERT_NE(dialog, nullptr);
    ::SetDlgItemTextW(dialog, edt1, L"found");
    ::SendDlgItemMessageW(dialog, IDOK, BM_CLICK, 0, 0);
    ASSERT_EQ(Messages().SelectedRow(), 1);
    const HWND focus = ::GetFocus();
    ASSERT_TRUE(focus == dialog || ::IsChild(dialog, focus));
    EXPECT_GT(HighlightedPixels(ContentEdit()), 0);
    // Without a selection nothing is painted so.
    ::SendMessageW(ContentEdit(), EM_SETSEL, 0, 0);
    EXPECT_EQ(HighlightedPixels(ContentEdit()), 0);
}

TEST_F(EditMenuTest, ARowAFindOrAJumpSelectsShowsInTheMiddleOfTheTable) {
    // A message a day; "mark" in rows 3, 500 and 997.
    std::vector<LogRecord> records;
    for (int i = 0; i < 1000; ++i)
        records.push_back(
            {1704110400 + i * 86400, 0,
             (i == 3 || i == 500 || i == 997 ? "mark " : "row ") + std::to_string(i)});
    ShowFriend(records);
    const HWND list = MessageList();
    const int perPage = ListView_GetCountPerPage(list);
    ASSERT_GT(perPage, 4);
    const int middle = (perPage - 1) / 2;
    enum class How { Find, F3, GoToDate, FindAllHit };
    const struct {
        How how;
        int row;
        int topRow; // -1: the row stands in the middle
    } cases[] = {
        {How::Find, 3, 0},              // the table cannot scroll above its first row
        {How::F3, 500, -1},             // down from row 3
        {How::F3, 997, 1000 - perPage}, // nor below its last
        {How::GoToDate, 400, -1},
        {How::FindAllHit, 500, -1},
    };
    Command(ID_EDIT_FIND);
    HWND dialog = OwnedDialog(m_frame->m_hWnd, edt1);
    ASSERT_NE(dialog, nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        ListView_EnsureVisible(list, c.how == How::FindAllHit ? 0 : 999, FALSE);
        switch (c.how) {
        case How::Find:
            SelectListRow(list, 0);
            ::SetDlgItemTextW(dialog, edt1, L"mark");
            ::SendDlgItemMessageW(dialog, IDOK, BM_CLICK, 0, 0);
            break;
        case How::F3:
            Command(ID_EDIT_FIND_NEXT);
            break;
        case How::GoToDate:
            ASSERT_TRUE(WhileModal(
                [&] {
                    HWND picker = OwnedDialog(m_frame->m_hWnd, IDC_GOTO_DATE_PICKER);
                    if (picker == nullptr)
                        return false;
                    SYSTEMTIME date = {};
                    date.wYear = 2025; // 2024-01-01 and 400 days
                    date.wMonth = 2;
                    date.wDay = 4;
                    ::SendDlgItemMessageW(picker, IDC_GOTO_DATE_PICKER, DTM_SETSYSTEMTIME,
                                          GDT_VALID, reinterpret_cast<LPARAM>(&date));
                    ::SendDlgItemMessageW(picker, IDOK, BM_CLICK, 0, 0);
                    return true;
                },
                [&] { Command(ID_EDIT_GOTO_DATE); }));
            break;
        case How::FindAllHit: {
            Command(ID_EDIT_FIND_ALL_FRIENDS);
            CFindAllFriendsWnd* window = m_frame->GetFindAllFriendsWnd();
            ASSERT_NE(window, nullptr);
            ::SetDlgItemTextW(window->m_hWnd, IDC_FIND_ALL_TEXT, L"mark");
            window->RunSearch();
            ASSERT_TRUE(window->OpenHit(1));
            break;
        }
        }
        ASSERT_EQ(Messages().SelectedRow(), c.row);
        const int top = ListView_GetTopIndex(list);
        if (c.topRow >= 0)
            EXPECT_EQ(top, c.topRow);
        else
            EXPECT_EQ(c.row - top, middle);
    }
}

TEST_F(EditMenuTest, ItemsThatCannotActAreGreyed) {
    const HMENU edit = ::GetSubMenu(::GetMenu(m_frame->m_hWnd), 1);
    ASSERT_NE(edit, nullptr);
    enum class State { NoAccount, NoFriend, NoRow, Row, ContentSelection, ContentNoSelection };
    const UINT items[] = {ID_EDIT_FIND,      ID_EDIT_FIND_NEXT, ID_EDIT_FIND_PREVIOUS,
                          ID_EDIT_GOTO_DATE, ID_EDIT_COPY,      ID_EDIT_FIND_ALL_FRIENDS};
    const struct {
        State state;
        bool find, copy, findAll; // find: 查找, F3, Shift+F3 and 转到日期
    } cases[] = {
        {State::NoAccount, false, false, false},     {State::NoFriend, false, false, true},
        {State::NoRow, true, false, true},           {State::Row, true, true, true},
        {State::ContentSelection, true, true, true}, {State::ContentNoSelection, true, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.state));
        switch (c.state) {
        case State::NoAccount:
            break;
        case State::NoFriend:
            WriteLog(AccountFolder("1234"), "11.dat",
                     LogBytes("11", kZhangSan, {{1, 0, "one"}, {2, 1, "two"}}));
            Send(kViewerMsgShowAccount, 1, 234);
            break;
        case State::NoRow:
            Send(kViewerMsgSelectFriend, 1, 1);
            ::SetFocus(MessageList());
            break;
        case State::Row:
            SelectListRow(MessageList(), 1);
            break;
        case State::ContentSelection:
            ::SetFocus(ContentEdit());
            ::SendMessageW(ContentEdit(), EM_SETSEL, 0, 2);
            break;
        case State::ContentNoSelection:
            ::SendMessageW(ContentEdit(), EM_SETSEL, 1, 1);
            break;
        }
        Send(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(edit), MAKELPARAM(1, FALSE));
        for (UINT id : items) {
            const bool expected = id == ID_EDIT_COPY               ? c.copy
                                  : id == ID_EDIT_FIND_ALL_FRIENDS ? c.findAll
                                                                   : c.find;
            EXPECT_EQ((::GetMenuState(edit, id, MF_BYCOMMAND) & MF_GRAYED) == 0, expected) << id;
        }
    }
    // A greyed item's key does nothing either: Ctrl+C with nothing to copy.
    Send(kViewerMsgResetPanes);
    m_frame->m_commands.clear();
    MSG key = {};
    key.hwnd = m_frame->m_hWnd;
    key.message = WM_KEYDOWN;
    key.wParam = 'C';
    ::SetFocus(m_frame->m_hWnd);
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keys);
    m_frame->PreTranslateMessage(&key);
    keys[VK_CONTROL] = 0;
    ::SetKeyboardState(keys);
    EXPECT_TRUE(m_frame->m_commands.empty());
}

} // namespace
