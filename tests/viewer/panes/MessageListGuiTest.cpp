// The message list and content panes driven as the frame and the user drive
// them, read back through the controls' own messages. Runs with TZ=CST-8.
#include "PaneHarness.h"

#include <climits>

namespace {

const char kHello[] = "\xc4\xe3\xba\xc3";         // 你好
const char kThere[] = "\xd4\xda\xc2\xf0\xa3\xbf"; // 在吗？
const char kThreeLines[] = "one\r\ntwo\r\nthree";

// Times out of order on purpose; -5 cannot be converted by the runtime.
std::string MixedLog() {
    return BuildRecordBytes(1767243661, 0, kHello) +      // sent
           BuildRecordBytes(1700000000, 1, kThere) +      // received, earlier
           BuildRecordBytes(1767312000, 2, kThreeLines) + // received (2)
           BuildRecordBytes(-5, 0xFFFFFFFFu, "OK") +      // received (all bits)
           BuildRecordBytes(INT32_MAX, 0, "max");         // sent
}

using Texts = std::vector<std::wstring>;
const Texts kFileOrderSenders = {L"小明", L"张三", L"张三", L"张三", L"小明"};
const Texts kFileOrderDates = {L"2026-01-01", L"2023-11-15", L"2026-01-02", L"", L"2038-01-19"};
const Texts kFileOrderTimes = {L"13:01:01", L"06:13:20", L"08:00:00", L"", L"11:14:07"};
const Texts kFileOrderContents = {L"你好", L"在吗？", L"one\r\ntwo\r\nthree", L"OK", L"max"};

Texts Reversed(Texts t) {
    std::reverse(t.begin(), t.end());
    return t;
}

using MessageListPane = PaneHarness;

TEST_F(MessageListPane, StartsEmptyAscendingWithAllMessages) {
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(m_list->GetSortOrder(), kOrderAscending);
    EXPECT_EQ(m_list->GetMessageFilter(), kFilterAll);
    EXPECT_EQ(::SendMessageW(Button(IDC_SORT_ASCENDING), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(::SendMessageW(Button(IDC_SORT_DESCENDING), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    ASSERT_EQ(::SendMessageW(Combo(), CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(::SendMessageW(Combo(), CB_GETCURSEL, 0, 0), 0);
    const wchar_t* entries[] = {L"所有信息", L"发出信息", L"收到信息"};
    for (int i = 0; i < 3; ++i) {
        wchar_t text[32] = {};
        ::SendMessageW(Combo(), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(text, entries[i]);
    }
    HWND header = reinterpret_cast<HWND>(::SendMessageW(Table(), LVM_GETHEADER, 0, 0));
    ASSERT_EQ(Header_GetItemCount(header), 4);
    const wchar_t* titles[] = {L"发送人", L"日期", L"时间", L"内容"};
    const int widths[] = {120, 90, 90};
    for (int i = 0; i < 4; ++i) {
        wchar_t text[32] = {};
        HDITEMW item = {};
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = 32;
        Header_GetItem(header, i, &item);
        EXPECT_STREQ(text, titles[i]);
        if (i < 3) {
            EXPECT_EQ(::SendMessageW(Table(), LVM_GETCOLUMNWIDTH, i, 0), widths[i]);
        }
    }
    const DWORD ex =
        static_cast<DWORD>(::SendMessageW(Table(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    EXPECT_EQ(ex & (LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT),
              DWORD{LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT});
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(Table(), GWL_STYLE));
    EXPECT_EQ(style & (LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS),
              DWORD{LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS});
    // No sorting of its own and no editing of rows.
    EXPECT_EQ(style & (LVS_SORTASCENDING | LVS_SORTDESCENDING | LVS_EDITLABELS), 0u);
}

TEST_F(MessageListPane, EveryCellInFileOrderThenExactlyReversed) {
    m_list->LoadMessages(OpenLog(MixedLog()));
    ASSERT_EQ(Rows(), 5);
    EXPECT_EQ(Column(0), kFileOrderSenders);
    EXPECT_EQ(Column(1), kFileOrderDates);
    EXPECT_EQ(Column(2), kFileOrderTimes);
    EXPECT_EQ(Column(3), kFileOrderContents);

    ClickButton(IDC_SORT_DESCENDING);
    EXPECT_EQ(m_list->GetSortOrder(), kOrderDescending);
    EXPECT_EQ(::SendMessageW(Button(IDC_SORT_ASCENDING), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    ASSERT_EQ(Rows(), 5);
    EXPECT_EQ(Column(0), Reversed(kFileOrderSenders));
    EXPECT_EQ(Column(1), Reversed(kFileOrderDates));
    EXPECT_EQ(Column(2), Reversed(kFileOrderTimes));
    EXPECT_EQ(Column(3), Reversed(kFileOrderContents));

    ClickButton(IDC_SORT_ASCENDING);
    EXPECT_EQ(Column(3), kFileOrderContents);
}

TEST_F(MessageListPane, FilterBySentAndReceivedInBothOrders) {
    struct Case {
        int comboIndex;
        int order;
        Texts senders;
        Texts contents;
    };
    const Case cases[] = {
        {1, IDC_SORT_ASCENDING, {L"小明", L"小明"}, {L"你好", L"max"}},
        {1, IDC_SORT_DESCENDING, {L"小明", L"小明"}, {L"max", L"你好"}},
        {2,
         IDC_SORT_DESCENDING,
         {L"张三", L"张三", L"张三"},
         {L"OK", L"one\r\ntwo\r\nthree", L"在吗？"}},
        {2,
         IDC_SORT_ASCENDING,
         {L"张三", L"张三", L"张三"},
         {L"在吗？", L"one\r\ntwo\r\nthree", L"OK"}},
        {0, IDC_SORT_ASCENDING, kFileOrderSenders, kFileOrderContents},
    };
    m_list->LoadMessages(OpenLog(MixedLog()));
    for (const Case& c : cases) {
        PickFilter(c.comboIndex);
        ClickButton(c.order);
        SCOPED_TRACE(testing::Message()
                     << "filter entry " << c.comboIndex << " button " << c.order);
        EXPECT_EQ(Column(0), c.senders);
        EXPECT_EQ(Column(3), c.contents);
    }
}

TEST_F(MessageListPane, OrderAndFilterOutliveAChangeOfFriend) {
    CChatLogFile* first = OpenLog(MixedLog());
    CChatLogFile* second = OpenLog(BuildRecordBytes(5, 0, "a") + BuildRecordBytes(6, 7, "b") +
                                   BuildRecordBytes(7, 0, "c"));
    m_list->LoadMessages(first);
    ClickButton(IDC_SORT_DESCENDING);
    PickFilter(1);
    m_list->LoadMessages(second);
    EXPECT_EQ(Column(3), (Texts{L"c", L"a"}));
    EXPECT_EQ(m_list->GetCurrentLog(), second);
}

TEST_F(MessageListPane, ChoosingWhatIsInForceLeavesTableAndSelectionAlone) {
    m_list->LoadMessages(OpenLog(MixedLog()));
    SelectRow(2);
    ASSERT_EQ(ContentText(), L"one\r\ntwo\r\nthree");
    const int before = m_main.m_textMessages;

    ClickButton(IDC_SORT_ASCENDING);
    PickFilter(0);
    EXPECT_EQ(SelectedRow(), 2);
    EXPECT_EQ(Rows(), 5);
    EXPECT_EQ(m_main.m_textMessages, before);
    EXPECT_EQ(ContentText(), L"one\r\ntwo\r\nthree");

    // A real change starts from an empty table and empties the content.
    PickFilter(2);
    EXPECT_EQ(SelectedRow(), -1);
    EXPECT_EQ(ContentText(), L"");
    EXPECT_GT(m_main.m_textMessages, before);
}

// The pane with a count of the times its table was reset (emptied).
class CCountingMessageList : public CChatContentTitle {
public:
    int m_tableResets = 0;

protected:
    BOOL OnNotify(int id, NMHDR* header, LRESULT* result) override {
        if (id == IDC_MESSAGE_LIST && header->code == LVN_DELETEALLITEMS) {
            ++m_tableResets;
        }
        return CChatContentTitle::OnNotify(id, header, result);
    }
};

// A switch looks like a reload (no selection, the top rows, the content pane
// empty) without resetting the virtual table, which costs more than the walk;
// a load empties it by its count as well.
TEST_F(MessageListPane, SwitchesShowTheTopWithoutSelectionAndKeepTheTable) {
    m_list->DestroyWindow();
    auto counting = std::make_unique<CCountingMessageList>();
    CCountingMessageList& pane = *counting;
    m_list = std::move(counting);
    ASSERT_TRUE(
        m_list->Create(&m_main, 0xE900, WS_CHILD | WS_VISIBLE, RECT{0, 0, 800, 400}, nullptr));
    m_list->SendMessage(WM_INITIALUPDATE);
    pane.m_tableResets = 0; // the template's own table went at the first update
    std::string records;
    for (int i = 0; i < 300; ++i) {
        records += BuildRecordBytes(i, i % 3 == 0 ? 0 : 1, "m" + std::to_string(i));
    }
    m_list->LoadMessages(OpenLog(records));
    const struct {
        int button; // or 0 for a filter entry
        int filterEntry;
        int rows;
        const wchar_t* top;
    } steps[] = {{IDC_SORT_DESCENDING, 0, 300, L"m299"},
                 {0, 1, 100, L"m297"},
                 {IDC_SORT_ASCENDING, 0, 100, L"m0"},
                 {0, 2, 200, L"m1"},
                 {0, 0, 300, L"m0"}};
    for (const auto& step : steps) {
        SelectRow(Rows() - 2);
        ::SendMessageW(Table(), LVM_ENSUREVISIBLE, Rows() - 2, FALSE);
        ASSERT_GT(::SendMessageW(Table(), LVM_GETTOPINDEX, 0, 0), 0);
        ASSERT_NE(ContentText(), L"");
        if (step.button != 0) {
            ClickButton(step.button);
        } else {
            PickFilter(step.filterEntry);
        }
        SCOPED_TRACE(testing::Message()
                     << "button " << step.button << " entry " << step.filterEntry);
        EXPECT_EQ(Rows(), step.rows);
        EXPECT_EQ(Cell(0, 3), step.top);
        EXPECT_EQ(::SendMessageW(Table(), LVM_GETTOPINDEX, 0, 0), 0);
        EXPECT_EQ(SelectedRow(), -1);
        EXPECT_EQ(::SendMessageW(Table(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED),
                  -1);
        EXPECT_EQ(ContentText(), L"");
    }
    EXPECT_EQ(pane.m_tableResets, 0);
}

TEST_F(MessageListPane, FilterBoxWithoutSelectionChangesNothing) {
    m_list->LoadMessages(OpenLog(MixedLog()));
    SelectRow(0);
    PickFilter(-1);
    EXPECT_EQ(m_list->GetMessageFilter(), kFilterAll);
    EXPECT_EQ(SelectedRow(), 0);
    EXPECT_EQ(ContentText(), L"你好");
}

TEST_F(MessageListPane, OrderOrFilterWithoutFriendKeepsTableEmptyAndEmptiesContent) {
    m_content->SetMessageText("left over");
    ClickButton(IDC_SORT_DESCENDING);
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(ContentText(), L"");
    m_content->SetMessageText("left over");
    PickFilter(1);
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(ContentText(), L"");
    EXPECT_EQ(m_main.m_lastText, WPARAM{0});
}

TEST_F(MessageListPane, HeaderOnlyLogAndNullLogGiveEmptyTableAndContent) {
    m_list->LoadMessages(OpenLog(MixedLog()));
    SelectRow(0);
    m_list->LoadMessages(OpenLog(""));
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(ContentText(), L"");
    m_list->LoadMessages(OpenLog(MixedLog()));
    ASSERT_EQ(Rows(), 5);
    m_list->LoadMessages(nullptr);
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(m_list->GetCurrentLog(), nullptr);
    EXPECT_EQ(ContentText(), L"");
}

TEST_F(MessageListPane, TextsWithoutTheirNulStayInsideTheirRecord) {
    // The middle record's text runs to its end without a NUL; the bytes after
    // it belong to the next record and must not show up in its text.
    const std::string middle = BuildRawRecordBytes(12 + 3, 10, 1, "abc");
    const std::string last = BuildRawRecordBytes(12 + 4, 11, 0, "wxyz");
    m_list->LoadMessages(OpenLog(BuildRecordBytes(9, 0, "first") + middle + last));
    ASSERT_EQ(Rows(), 3);
    EXPECT_EQ(Column(3), (Texts{L"first", L"abc", L"wxyz"}));
    SelectRow(1);
    EXPECT_EQ(ContentText(), L"abc");
    SelectRow(2);
    EXPECT_EQ(ContentText(), L"wxyz");
    SelectRow(0);
    EXPECT_EQ(ContentText(), L"first");
    // A well-formed text goes out as the position in the view itself.
    const unsigned char* record = m_list->RecordAtRow(0);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(m_main.m_lastText, reinterpret_cast<WPARAM>(record + 12));
}

TEST_F(MessageListPane, SelectionShowsWholeTextByMouseOrKeyboardAndNoneEmpties) {
    std::string longLine(3000, 'x');
    longLine += "END";
    m_list->LoadMessages(OpenLog(MixedLog() + BuildRecordBytes(1, 1, longLine)));
    ASSERT_EQ(Rows(), 6);
    SelectRow(5);
    EXPECT_EQ(ContentText(), std::wstring(longLine.begin(), longLine.end()));

    SelectRow(1);
    EXPECT_EQ(ContentText(), L"在吗？");
    ::SetFocus(Table());
    ::SendMessageW(Table(), WM_KEYDOWN, VK_DOWN, 0);
    ::SendMessageW(Table(), WM_KEYUP, VK_DOWN, 0);
    EXPECT_EQ(SelectedRow(), 2);
    EXPECT_EQ(ContentText(), L"one\r\ntwo\r\nthree");
    ::SendMessageW(Table(), WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(SelectedRow(), 0);
    EXPECT_EQ(ContentText(), L"你好");

    UnselectAll();
    EXPECT_EQ(SelectedRow(), -1);
    EXPECT_EQ(ContentText(), L"");
    EXPECT_EQ(m_main.m_lastText, WPARAM{0});
}

TEST_F(MessageListPane, ClearMessagesForgetsTheLogAndEmptiesContent) {
    m_list->LoadMessages(OpenLog(MixedLog()));
    SelectRow(3);
    ASSERT_EQ(ContentText(), L"OK");
    m_list->ClearMessages();
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(m_list->GetCurrentLog(), nullptr);
    EXPECT_EQ(ContentText(), L"");
    EXPECT_EQ(m_list->RecordAtRow(0), nullptr);
}

TEST_F(MessageListPane, WithoutMainWindowNothingIsSent) {
    m_list->LoadMessages(OpenLog(MixedLog()));
    AfxSetMainWnd(nullptr);
    const int before = m_main.m_textMessages;
    SelectRow(1);
    m_list->ClearMessages();
    EXPECT_EQ(m_main.m_textMessages, before);
    AfxSetMainWnd(&m_main);
}

TEST_F(MessageListPane, DoubleClickAndHeaderClickChangeNothing) {
    m_list->LoadMessages(OpenLog(MixedLog()));
    SelectRow(1);
    const int before = m_main.m_textMessages;
    RECT cell{};
    cell.left = LVIR_BOUNDS;
    ::SendMessageW(Table(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&cell));
    const LPARAM at = MAKELPARAM(cell.left + 5, (cell.top + cell.bottom) / 2);
    ::SendMessageW(Table(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    ::SendMessageW(Table(), WM_LBUTTONUP, 0, at);
    HWND header = reinterpret_cast<HWND>(::SendMessageW(Table(), LVM_GETHEADER, 0, 0));
    ::SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 5));
    ::SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(20, 5));
    EXPECT_EQ(Column(3), kFileOrderContents);
    EXPECT_EQ(SelectedRow(), 1);
    EXPECT_EQ(ContentText(), L"在吗？");
    // No label editor was opened.
    EXPECT_EQ(::SendMessageW(Table(), LVM_GETEDITCONTROL, 0, 0), 0);
    EXPECT_LE(m_main.m_textMessages - before, 2); // at most the click's own reselection
}

// One key on a fresh pane each: the control gathers keys typed within its
// type-ahead time into one search text, and a fresh control starts a new one.
struct TypingCase {
    int from;
    wchar_t key;
    int to;
    const wchar_t* content;
};

class MessageListTyping : public MessageListPane, public testing::WithParamInterface<TypingCase> {};

TEST_P(MessageListTyping, JumpsToTheNextRowOfThatSender) {
    const TypingCase& c = GetParam();
    // ASCII names, so that the typed letters are plain keys.
    const std::string path = (m_dir / "typing.dat").string();
    ASSERT_TRUE(
        WriteFileBytes(path, BuildHeaderBytes({"42", "alice", "Bob"}) +
                                 BuildRecordBytes(1, 0, "a0") + BuildRecordBytes(2, 1, "b1") +
                                 BuildRecordBytes(3, 0, "a2") + BuildRecordBytes(4, 1, "b3")));
    m_logs.push_back(std::make_unique<CChatLogFile>());
    ASSERT_TRUE(m_logs.back()->Open(path.c_str()));
    m_list->LoadMessages(m_logs.back().get());
    SelectRow(c.from);
    ::SetFocus(Table());
    ::SendMessageW(Table(), WM_CHAR, c.key, 1);
    EXPECT_EQ(SelectedRow(), c.to);
    EXPECT_EQ(ContentText(), c.content);
}

INSTANTIATE_TEST_SUITE_P(Keys, MessageListTyping,
                         testing::Values(TypingCase{0, L'b', 1, L"b1"},
                                         TypingCase{1, L'A', 2, L"a2"},   // either case
                                         TypingCase{2, L'z', 2, L"a2"})); // no sender begins with z

struct StripCase {
    int width, height;
};

TEST_F(MessageListPane, StripUnderTheTableAndContentColumnAtSeveralSizes) {
    const StripCase cases[] = {{800, 400}, {640, 23}, {640, 22}, {500, 10}, {300, 200}, {200, 0}};
    int previousContent = static_cast<int>(::SendMessageW(Table(), LVM_GETCOLUMNWIDTH, 3, 0));
    for (const StripCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        ::SetWindowPos(m_list->m_hWnd, nullptr, 0, 0, c.width, c.height,
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
        RECT client{};
        ::GetClientRect(m_list->m_hWnd, &client);
        ASSERT_EQ(client.right, c.width);
        const int tableHeight = c.height > 22 ? c.height - 22 : 0;
        const RECT table = PlaceOf(Table());
        EXPECT_EQ(table.left, 0);
        EXPECT_EQ(table.top, 0);
        EXPECT_EQ(table.right, c.width);
        EXPECT_EQ(table.bottom, tableHeight);

        RECT ascClient{}, descClient{};
        ::GetClientRect(Button(IDC_SORT_ASCENDING), &ascClient);
        ::GetClientRect(Button(IDC_SORT_DESCENDING), &descClient);
        const RECT asc = PlaceOf(Button(IDC_SORT_ASCENDING));
        const RECT desc = PlaceOf(Button(IDC_SORT_DESCENDING));
        const RECT combo = PlaceOf(Combo());
        EXPECT_EQ(asc.left, 10);
        EXPECT_EQ(asc.top, tableHeight + 5);
        EXPECT_EQ(desc.left, ascClient.right + 20);
        EXPECT_EQ(desc.top, tableHeight + 5);
        EXPECT_EQ(combo.left, ascClient.right + 20 + descClient.right + 10);
        EXPECT_EQ(combo.top, tableHeight + 2);

        const int fixed = 120 + 90 + 90;
        const int content = static_cast<int>(::SendMessageW(Table(), LVM_GETCOLUMNWIDTH, 3, 0));
        if (fixed + 16 < c.width) {
            EXPECT_EQ(content, c.width - fixed - 16);
        } else {
            EXPECT_EQ(content, previousContent);
        }
        previousContent = content;
    }
}

TEST_F(MessageListPane, DraggedColumnWidthsCountInTheFit) {
    ::SendMessageW(Table(), LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(200, 0));
    ::SetWindowPos(m_list->m_hWnd, nullptr, 0, 0, 700, 300,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    EXPECT_EQ(::SendMessageW(Table(), LVM_GETCOLUMNWIDTH, 3, 0), 700 - (200 + 90 + 90) - 16);
}

TEST_F(MessageListPane, TableUsesItsOwnFont) {
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(Table(), WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    LOGFONTW lf = {};
    ASSERT_NE(::GetObjectW(font, sizeof lf, &lf), 0);
    EXPECT_EQ(lf.lfHeight, 13);
    EXPECT_EQ(lf.lfWeight, 500);
    EXPECT_EQ(lf.lfCharSet, GB2312_CHARSET);
    EXPECT_STREQ(lf.lfFaceName, L"宋体");
    // The buttons keep the template's font.
    EXPECT_NE(reinterpret_cast<HFONT>(::SendMessageW(Button(IDC_SORT_ASCENDING), WM_GETFONT, 0, 0)),
              font);
}

using ContentPane = PaneHarness;

TEST_F(ContentPane, GbkTextAsStoredLineEndsKept) {
    struct Case {
        const char* gbk;
        std::wstring shown;
    };
    const Case cases[] = {
        {"\xc4\xe3\xba\xc3\xa3\xa1", L"你好！"},
        {"a\r\nb\r\n", L"a\r\nb\r\n"},
        {"", L""},
        {nullptr, L""},
    };
    for (const Case& c : cases) {
        m_content->SetMessageText("something else");
        m_content->SetMessageText(c.gbk);
        EXPECT_EQ(ContentText(), c.shown);
    }
    m_content->SetMessageText("line1\r\nline2\r\nline3");
    EXPECT_EQ(::SendMessageW(Edit(), EM_GETLINECOUNT, 0, 0), 3);
    m_content->ClearMessageText();
    EXPECT_EQ(ContentText(), L"");
}

TEST_F(ContentPane, ReadOnlyNoWrapFillsThePane) {
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(Edit(), GWL_STYLE));
    EXPECT_NE(style & ES_READONLY, 0u);
    EXPECT_NE(style & ES_MULTILINE, 0u);
    EXPECT_NE(style & ES_AUTOHSCROLL, 0u);
    EXPECT_EQ(style & (WS_HSCROLL | WS_VSCROLL | WS_BORDER), 0u);

    m_content->SetMessageText(std::string(2000, 'w').c_str());
    EXPECT_EQ(::SendMessageW(Edit(), EM_GETLINECOUNT, 0, 0), 1); // no wrapping
    ::SetFocus(Edit());
    ::SendMessageW(Edit(), WM_CHAR, 'z', 0);
    ::SendMessageW(Edit(), WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(ContentText(), std::wstring(2000, L'w'));

    RECT pane{}, edit{};
    ::GetClientRect(m_content->m_hWnd, &pane);
    ::GetWindowRect(Edit(), &edit);
    ::MapWindowPoints(nullptr, m_content->m_hWnd, reinterpret_cast<POINT*>(&edit), 2);
    EXPECT_EQ(edit.left, 0);
    EXPECT_EQ(edit.top, 0);
    EXPECT_EQ(edit.right, pane.right);
    EXPECT_EQ(edit.bottom, pane.bottom);
}

TEST_F(ContentPane, BlackOnWhiteWhateverTheControlAsksAs) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    for (UINT message : {WM_CTLCOLORSTATIC, WM_CTLCOLOREDIT}) {
        ::SetTextColor(dc, RGB(1, 2, 3));
        ::SetBkColor(dc, RGB(4, 5, 6));
        auto brush = reinterpret_cast<HBRUSH>(::SendMessageW(m_content->m_hWnd, message,
                                                             reinterpret_cast<WPARAM>(dc),
                                                             reinterpret_cast<LPARAM>(Edit())));
        ASSERT_NE(brush, nullptr) << message;
        LOGBRUSH lb = {};
        ASSERT_NE(::GetObjectW(brush, sizeof lb, &lb), 0);
        EXPECT_EQ(lb.lbColor, RGB(255, 255, 255)) << message;
        EXPECT_EQ(::GetTextColor(dc), RGB(0, 0, 0)) << message;
        EXPECT_EQ(::GetBkColor(dc), RGB(255, 255, 255)) << message;
    }
    ::DeleteDC(dc);

    // On screen: the read-only text control's background is white.
    m_content->SetMessageText("");
    ::RedrawWindow(Edit(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HDC screen = ::GetDC(Edit());
    EXPECT_EQ(::GetPixel(screen, 50, 50), RGB(255, 255, 255));
    ::ReleaseDC(Edit(), screen);
}

} // namespace
