// The main frame driven with the client's and the panes' messages, read back
// through the controls.
#include "ViewerFixture.h"

#include <algorithm>

namespace {

// GBK nicknames and what they say in UTF-16.
const char kZhangSan[] = "\xd5\xc5\xc8\xfd"; // 张三
const char kLiSi[] = "\xc0\xee\xcb\xc4";     // 李四
const char kWangWu[] = "\xcd\xf5\xce\xe5";   // 王五

TEST_F(ViewerTest, StartsWithTheRootAloneAndEmptyPanes) {
    CTreeCtrl& tree = Tree();
    EXPECT_EQ(tree.GetCount(), 1u);
    HTREEITEM root = tree.GetRootItem();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(tree.GetItemText(root), L"\u597d\u53cb\u5217\u8868"); // 好友列表
    EXPECT_EQ(tree.GetItemImage(root), std::make_pair(0, 0));
    EXPECT_EQ(tree.GetItemData(root), 0u);
    int cx = 0, cy = 0;
    ASSERT_TRUE(ImageList_GetIconSize(tree.GetImageList(TVSIL_NORMAL), &cx, &cy));
    EXPECT_EQ(cx, 15);
    EXPECT_EQ(cy, 17);
    EXPECT_EQ(ImageList_GetImageCount(tree.GetImageList(TVSIL_NORMAL)), 1);
    EXPECT_EQ(MessageRows(), 0);
    EXPECT_EQ(ContentText(), L"");
}

TEST_F(ViewerTest, MenuAndAcceleratorsOfTheResourceAreLoaded) {
    HMENU menu = ::GetMenu(m_frame->m_hWnd);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(::GetMenuItemCount(menu), 2);
    wchar_t text[64] = {};
    ::GetMenuStringW(menu, 0, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"\u6587\u4ef6(&F)"); // 文件(&F)
    // 文件(&F): open and export above a separator, 退出 last with its id.
    HMENU file = ::GetSubMenu(menu, 0);
    const struct {
        UINT id;
        const wchar_t* text;
    } fileItems[] = {
        {ID_FILE_OPEN_CHATLOG, L"打开聊天记录(&O)..."},
        {ID_FILE_EXPORT_CHATLOG, L"导出聊天记录(&E)...\tCtrl+E"},
        {0, L""},
        {ID_APP_EXIT, L"退出(&X)"},
    };
    ASSERT_EQ(::GetMenuItemCount(file), static_cast<int>(std::size(fileItems)));
    for (int i = 0; i < static_cast<int>(std::size(fileItems)); ++i) {
        EXPECT_EQ(::GetMenuItemID(file, i), fileItems[i].id) << i;
        text[0] = L'\0';
        ::GetMenuStringW(file, i, text, 64, MF_BYPOSITION);
        EXPECT_STREQ(text, fileItems[i].text) << i;
    }
    EXPECT_EQ(ID_APP_EXIT, 57665);

    // 编辑(&E): the finds, go to date and copy; 0 stands for a separator.
    ::GetMenuStringW(menu, 1, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"\u7f16\u8f91(&E)");
    HMENU edit = ::GetSubMenu(menu, 1);
    const struct {
        UINT id;
        const wchar_t* text;
    } editItems[] = {
        {ID_EDIT_FIND, L"\u67e5\u627e(&F)...\tCtrl+F"},
        {ID_EDIT_FIND_NEXT, L"\u67e5\u627e\u4e0b\u4e00\u4e2a(&N)\tF3"},
        {ID_EDIT_FIND_PREVIOUS, L"\u67e5\u627e\u4e0a\u4e00\u4e2a(&V)\tShift+F3"},
        {0, L""},
        {ID_EDIT_FIND_ALL_FRIENDS,
         L"\u5728\u6240\u6709\u597d\u53cb\u4e2d\u67e5\u627e(&A)...\tCtrl+Shift+F"},
        {ID_EDIT_GOTO_DATE, L"\u8f6c\u5230\u65e5\u671f(&G)...\tCtrl+G"},
        {0, L""},
        {ID_EDIT_COPY, L"\u590d\u5236(&C)\tCtrl+C"},
    };
    ASSERT_EQ(::GetMenuItemCount(edit), static_cast<int>(std::size(editItems)));
    for (int i = 0; i < static_cast<int>(std::size(editItems)); ++i) {
        EXPECT_EQ(::GetMenuItemID(edit, i), editItems[i].id) << i;
        text[0] = L'\0';
        ::GetMenuStringW(edit, i, text, 64, MF_BYPOSITION);
        EXPECT_STREQ(text, editItems[i].text) << i;
    }

    HACCEL table = m_frame->GetAccelerators();
    ASSERT_NE(table, nullptr);
    ACCEL entries[32];
    int count = ::CopyAcceleratorTableW(table, entries, 32);
    struct Expected {
        BYTE modifiers;
        WORD key;
        WORD command;
    } expected[] = {
        {FCONTROL, 'N', ID_FILE_NEW},
        {FCONTROL, 'O', ID_FILE_OPEN},
        {FCONTROL, 'S', ID_FILE_SAVE},
        {FCONTROL, 'Z', ID_EDIT_UNDO},
        {FCONTROL, 'X', ID_EDIT_CUT},
        {FCONTROL, 'C', ID_EDIT_COPY},
        {FCONTROL, 'V', ID_EDIT_PASTE},
        {FALT, VK_BACK, ID_EDIT_UNDO},
        {FSHIFT, VK_DELETE, ID_EDIT_CUT},
        {FCONTROL, VK_INSERT, ID_EDIT_COPY},
        {FSHIFT, VK_INSERT, ID_EDIT_PASTE},
        {0, VK_F6, ID_NEXT_PANE},
        {FSHIFT, VK_F6, ID_PREV_PANE},
        {FCONTROL, 'F', ID_EDIT_FIND},
        {0, VK_F3, ID_EDIT_FIND_NEXT},
        {FSHIFT, VK_F3, ID_EDIT_FIND_PREVIOUS},
        {FCONTROL | FSHIFT, 'F', ID_EDIT_FIND_ALL_FRIENDS},
        {FCONTROL, 'G', ID_EDIT_GOTO_DATE},
        {FCONTROL, 'E', ID_FILE_EXPORT_CHATLOG},
    };
    ASSERT_EQ(count, static_cast<int>(std::size(expected)));
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(entries[i].fVirt & ~FNOINVERT, FVIRTKEY | expected[i].modifiers) << i;
        EXPECT_EQ(entries[i].key, expected[i].key) << i;
        EXPECT_EQ(entries[i].cmd, expected[i].command) << i;
    }
}

TEST_F(ViewerTest, PanesStandAtTheirSplitterPositions) {
    CSplitterWnd& outer = OuterSplitter();
    CSplitterWnd& right = RightSplitter();
    EXPECT_EQ(::GetDlgCtrlID(outer.m_hWnd), AFX_IDW_PANE_FIRST);
    EXPECT_EQ(outer.GetParent(), m_frame->m_hWnd);
    EXPECT_EQ(outer.GetRowCount(), 1);
    EXPECT_EQ(outer.GetColumnCount(), 2);
    EXPECT_EQ(right.GetRowCount(), 2);
    EXPECT_EQ(right.GetColumnCount(), 1);
    EXPECT_EQ(outer.IdFromRowCol(0, 1), AFX_IDW_PANE_FIRST + 1);
    EXPECT_EQ(right.IdFromRowCol(1, 0), AFX_IDW_PANE_FIRST + 16);

    EXPECT_NE(dynamic_cast<CUserTitleWnd*>(outer.GetPane(0, 0)), nullptr);
    EXPECT_EQ(outer.GetPane(0, 1), &right);
    EXPECT_EQ(right.GetParent(), outer.m_hWnd);
    EXPECT_EQ(right.GetPane(0, 0), static_cast<CWnd*>(m_frame->GetMessageListPane()));
    EXPECT_EQ(right.GetPane(1, 0), static_cast<CWnd*>(m_frame->GetContentPane()));
    EXPECT_NE(m_frame->GetMessageListPane(), nullptr);
    EXPECT_NE(m_frame->GetContentPane(), nullptr);

    // Left to right, top to bottom, side by side.
    RECT friends = outer.GetPane(0, 0)->GetWindowRect();
    RECT list = right.GetPane(0, 0)->GetWindowRect();
    RECT content = right.GetPane(1, 0)->GetWindowRect();
    EXPECT_LT(friends.right, list.left);
    EXPECT_EQ(list.left, content.left);
    EXPECT_LT(list.bottom, content.top);
}

TEST_F(ViewerTest, PaneSizesFollowTheFrame) {
    const int bar = CSplitterWnd::kBarSize;
    struct Case {
        int widthSum, heightSum; // of the two columns, of the two rows
        int friendColumn, messageRow;
    } cases[] = {
        {993, 500, 190, 380},
        {1330, 600, 190, 480},
        {1337, 1000, 191, 800},
        {2100, 100, 300, 0},
    };
    for (const Case& c : cases) {
        SetClientSize(c.widthSum + bar, c.heightSum + bar);
        ASSERT_EQ(m_frame->GetClientRect().right, c.widthSum + bar);
        ASSERT_EQ(m_frame->GetClientRect().bottom, c.heightSum + bar);
        int current = 0, minimum = 0;
        OuterSplitter().GetColumnInfo(0, current, minimum);
        EXPECT_EQ(current, c.friendColumn) << c.widthSum;
        OuterSplitter().GetColumnInfo(1, current, minimum);
        EXPECT_EQ(current, c.widthSum - c.friendColumn) << c.widthSum;
        RightSplitter().GetRowInfo(0, current, minimum);
        EXPECT_EQ(current, c.messageRow) << c.heightSum;
        RightSplitter().GetRowInfo(1, current, minimum);
        EXPECT_EQ(current, c.heightSum - c.messageRow) << c.heightSum;
        // The pane windows follow the columns.
        RECT friends = m_frame->GetFriendListPane()->GetClientRect();
        EXPECT_EQ(friends.right, c.friendColumn);
    }
}

// The frame sized from outside, as a user or the client does it, shrinking
// and growing across the border where the 120-pixel floor of the content
// pane takes over from the four fifths; the heights are read back from the
// pane windows themselves.
TEST_F(ViewerTest, ContentPaneKeepsItsFloorOverASequenceOfOuterSizes) {
    const SIZE outer[] = {{900, 640}, {700, 500},   {1200, 1000}, {700, 500}, {900, 640},
                          {640, 300}, {1200, 1000}, {900, 700},   {640, 200}, {900, 640}};
    auto heightOf = [](CWnd* wnd) {
        RECT r = wnd->GetWindowRect();
        return static_cast<int>(r.bottom - r.top);
    };
    bool floorDecided = false, shareDecided = false;
    for (const SIZE& size : outer) {
        m_frame->SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
        const int column = heightOf(&RightSplitter());
        const int list = heightOf(m_frame->GetMessageListPane());
        const int content = heightOf(m_frame->GetContentPane());
        const int t = column - CSplitterWnd::kBarSize;
        ASSERT_GE(t, 120) << size.cx << "x" << size.cy;
        // The rule, from the room the two panes share.
        const int expectedList = std::min((t / 5) * 4, t - 120);
        floorDecided |= expectedList == t - 120 && t - 120 < (t / 5) * 4;
        shareDecided |= expectedList == (t / 5) * 4 && (t / 5) * 4 < t - 120;
        EXPECT_EQ(list, expectedList) << size.cx << "x" << size.cy;
        EXPECT_EQ(content, t - expectedList) << size.cx << "x" << size.cy;
    }
    // The sizes cover both sides of the border.
    EXPECT_TRUE(floorDecided);
    EXPECT_TRUE(shareDecided);
}

TEST_F(ViewerTest, DraggedBarStaysUntilTheFrameIsResized) {
    SetClientSize(1337 + CSplitterWnd::kBarSize, 600);
    CSplitterWnd& outer = OuterSplitter();
    int current = 0, minimum = 0;
    outer.GetColumnInfo(0, current, minimum);
    ASSERT_EQ(current, 191);

    // Grab the bar 2 pixels into it and move 40 pixels to the right.
    const int grab = 191 + 2;
    outer.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grab, 100));
    outer.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(grab + 40, 100));
    outer.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(grab + 40, 100));
    outer.GetColumnInfo(0, current, minimum);
    EXPECT_EQ(current, 231);
    EXPECT_EQ(m_frame->GetFriendListPane()->GetClientRect().right, 231);

    // Moving the mouse after the release drags nothing; the client's
    // messages leave the bar where it is.
    outer.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(500, 100));
    EXPECT_EQ(Send(kViewerMsgResetPanes), kViewerMsgHandled);
    outer.GetColumnInfo(0, current, minimum);
    EXPECT_EQ(current, 231);

    SetClientSize(2100 + CSplitterWnd::kBarSize, 600);
    outer.GetColumnInfo(0, current, minimum);
    EXPECT_EQ(current, 300);
}

TEST_F(ViewerTest, NarrowFriendPaneKeepsItsTree120Wide) {
    CSplitterWnd& outer = OuterSplitter();
    outer.SetColumnInfo(0, 80, 0);
    outer.RecalcLayout();
    EXPECT_EQ(m_frame->GetFriendListPane()->GetClientRect().right, 80);
    RECT tree = Tree().GetClientRect();
    RECT treeWindow = Tree().GetWindowRect();
    EXPECT_EQ(treeWindow.right - treeWindow.left, 120);
    EXPECT_GT(tree.bottom, 0);
}

// The account folder of the listing test: accepted files with their labels,
// damaged and misnamed entries that must not show.
class AccountListing : public ViewerTest {
protected:
    void SetUp() override {
        ViewerTest::SetUp();
        m_folder = AccountFolder("1234");
        const std::vector<LogRecord> two = {{1767225600, 0, "hi"}, {1767225660, 1, "yo"}};
        WriteLog(m_folder, "100.dat", LogBytes("5001", kZhangSan, two));
        WriteLog(m_folder, "200.DAT", LogBytes("5002", kLiSi, two));
        WriteLog(m_folder, "0042.Dat", LogBytes("5003", "Amy", two));
        WriteLog(m_folder, ".dat", LogBytes("5004", kWangWu, two));
        WriteLog(m_folder, "301.dat", LogBytes("5005", "")); // 80 bytes, no name
        std::string odd = LogBytes("5006", "Bob", two);
        odd.replace(0, 4, "XXXX");
        odd[4] = 7; // version 7
        WriteLog(m_folder, "302.dat", odd);
        // Damaged: one byte short of a header.
        WriteLog(m_folder, "300.dat", LogBytes("5007", "Cut").substr(0, 79));
        // Misnamed, with good contents.
        for (const char* name :
             {"12a.dat", "1.2.dat", "123.dat.bak", "123.data", "123", "123.bak.dat", "dat"})
            WriteLog(m_folder, name, LogBytes("5999", "Wrong", two));
        std::filesystem::create_directories(m_folder / "456.dat");
        WriteLog(m_folder / "456.dat", "7.dat", LogBytes("5998", "Inside", two));
    }

    // File name -> label of every file that must be listed.
    const std::vector<std::pair<std::wstring, std::wstring>> m_accepted = {
        {L"100.dat", L"\u5f20\u4e09(5001)"},
        {L"200.DAT", L"\u674e\u56db(5002)"},
        {L"0042.Dat", L"Amy(5003)"},
        {L".dat", L"\u738b\u4e94(5004)"},
        {L"301.dat", L"(5005)"},
        {L"302.dat", L"Bob(5006)"},
    };

    std::vector<std::wstring> ExpectedLabels() {
        std::vector<std::wstring> names;
        for (const auto& entry : m_accepted)
            names.push_back(entry.first);
        std::vector<std::wstring> labels;
        for (const std::wstring& name : ListingOrder(m_folder, names))
            for (const auto& entry : m_accepted)
                if (entry.first == name)
                    labels.push_back(entry.second);
        return labels;
    }

    std::filesystem::path m_folder;
};

TEST_F(AccountListing, ListsTheRightFriendsInListingOrder) {
    EXPECT_EQ(Send(kViewerMsgShowAccount, 1, 234), kViewerMsgHandled);
    std::vector<std::wstring> expected = ExpectedLabels();
    ASSERT_EQ(expected.size(), m_accepted.size());
    EXPECT_EQ(FriendLabels(), expected);
    // Root expanded, nothing selected, the other panes empty.
    EXPECT_TRUE(Tree().GetItemState(Tree().GetRootItem(), TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_EQ(SelectedFriendItem(), nullptr);
    EXPECT_EQ(MessageRows(), 0);
    EXPECT_EQ(ContentText(), L"");
    // Every friend item carries its own open log and the friend's picture.
    for (size_t i = 0; i < expected.size(); ++i) {
        CChatLogFile* log = FriendLog(i);
        ASSERT_NE(log, nullptr);
        EXPECT_TRUE(log->IsOpen());
        EXPECT_FALSE(log->IsMapped());
        EXPECT_EQ(Tree().GetItemImage(FriendItem(i)), std::make_pair(0, 0));
    }
}

TEST_F(AccountListing, ShowingTheSameAccountTwiceListsEachFriendOnce) {
    Send(kViewerMsgShowAccount, 1, 234);
    Send(kViewerMsgSelectFriend, 500, 1);
    ASSERT_EQ(MessageRows(), 2);
    EXPECT_EQ(Send(kViewerMsgShowAccount, 1, 234), kViewerMsgHandled);
    EXPECT_EQ(FriendLabels(), ExpectedLabels());
    EXPECT_EQ(SelectedFriendItem(), nullptr);
    EXPECT_EQ(MessageRows(), 0);
}

TEST_F(AccountListing, MissingFolderLeavesEverythingEmpty) {
    Send(kViewerMsgShowAccount, 1, 234);
    Send(kViewerMsgSelectFriend, 500, 1);
    SelectListRow(MessageList(), 0);
    ASSERT_EQ(ContentText(), L"hi");

    EXPECT_EQ(Send(kViewerMsgShowAccount, 1, 999), kViewerMsgHandled);
    EXPECT_EQ(Tree().GetCount(), 1u);
    EXPECT_EQ(MessageRows(), 0);
    EXPECT_EQ(ContentText(), L"");

    // A file where the folder should be: the same.
    Send(kViewerMsgShowAccount, 1, 234);
    ASSERT_EQ(Tree().GetCount(), 1u + m_accepted.size());
    ASSERT_TRUE(WriteFileBytes((m_dir / "77").string(), "not a folder"));
    Send(kViewerMsgShowAccount, 7, 7);
    EXPECT_EQ(Tree().GetCount(), 1u);
}

TEST_F(AccountListing, ResetWhileAFriendIsSelectedLeavesNothingBehind) {
    Send(kViewerMsgShowAccount, 1, 234);
    Send(kViewerMsgSelectFriend, 500, 2);
    ASSERT_NE(SelectedFriendItem(), nullptr);
    ASSERT_EQ(MessageRows(), 2);

    EXPECT_EQ(Send(kViewerMsgResetPanes), kViewerMsgHandled);
    EXPECT_EQ(Tree().GetCount(), 1u);
    EXPECT_EQ(SelectedFriendItem(), nullptr);
    EXPECT_EQ(MessageRows(), 0);
    EXPECT_EQ(ContentText(), L"");

    // Later selections only see the root: nothing refers to the freed logs.
    Tree().SelectItem(Tree().GetRootItem());
    Tree().SelectItem(nullptr);
    Send(kViewerMsgSelectFriend, 500, 2);
    EXPECT_EQ(MessageRows(), 0);
    EXPECT_EQ(SelectedFriendItem(), nullptr);
}

TEST_F(AccountListing, MessagesBetween1028And1033DoNothing) {
    Send(kViewerMsgShowAccount, 1, 234);
    Send(kViewerMsgSelectFriend, 500, 1);
    const std::vector<std::wstring> labels = FriendLabels();
    const HTREEITEM selected = SelectedFriendItem();
    ASSERT_NE(selected, nullptr);
    for (UINT message = kViewerWmUser + 4; message <= kViewerWmUser + 9; ++message) {
        EXPECT_EQ(Send(message, 1, 234), 0) << message;
        EXPECT_EQ(FriendLabels(), labels) << message;
        EXPECT_EQ(SelectedFriendItem(), selected) << message;
        EXPECT_EQ(MessageRows(), 2) << message;
    }
}

struct KeyCase {
    WPARAM wParam;
    LPARAM lParam;
    const char* key;
};

TEST_F(ViewerTest, AccountKeyFromTheClientsNumbers) {
    const KeyCase cases[] = {
        {0x00020001, 7, "17"},                                // upper half of wParam ignored
        {0, 0, "00"},                                         // both zero, no padding
        {1, static_cast<LPARAM>(0xFFFFFFFFu), "14294967295"}, // lParam unsigned
        {0xFFFF, 123456789, "65535123456789"},
    };
    for (const KeyCase& c : cases) {
        std::filesystem::path folder = AccountFolder(c.key);
        WriteLog(folder, "1.dat", LogBytes("1", c.key));
        EXPECT_EQ(Send(kViewerMsgShowAccount, c.wParam, c.lParam), kViewerMsgHandled);
        std::wstring name(c.key, c.key + std::strlen(c.key));
        EXPECT_EQ(FriendLabels(), std::vector<std::wstring>{name + L"(1)"}) << c.key;
    }
}

TEST_F(ViewerTest, SelectFriendTakesTheFirstExactKey) {
    std::filesystem::path folder = AccountFolder("1234");
    WriteLog(folder, "1.dat", LogBytes("50012", "Prefix", {{1, 0, "a"}}));
    WriteLog(folder, "2.dat", LogBytes("5001", "Twin", {{1, 0, "a"}, {2, 1, "b"}}));
    WriteLog(folder, "3.dat", LogBytes("5001", "Twin", {{1, 0, "a"}, {2, 1, "b"}, {3, 0, "c"}}));
    WriteLog(folder, "4.dat", LogBytes("500", "Short", {{1, 0, "a"}}));

    // Before any account: nothing to select, nothing happens. (The tree may
    // have put its caret on the root when it got the focus.)
    const HTREEITEM before = Tree().GetSelectedItem();
    EXPECT_TRUE(before == nullptr || before == Tree().GetRootItem());
    EXPECT_EQ(Send(kViewerMsgSelectFriend, 500, 1), kViewerMsgHandled);
    EXPECT_EQ(Tree().GetSelectedItem(), before);
    EXPECT_EQ(MessageRows(), 0);

    Send(kViewerMsgShowAccount, 1, 234);
    std::vector<std::wstring> twins = ListingOrder(folder, {L"2.dat", L"3.dat"});
    ASSERT_EQ(twins.size(), 2u);
    const int firstTwinRows = twins.front() == L"2.dat" ? 2 : 3;

    EXPECT_EQ(Send(kViewerMsgSelectFriend, 500, 1), kViewerMsgHandled); // "5001"
    HTREEITEM selected = Tree().GetSelectedItem();
    ASSERT_NE(selected, nullptr);
    EXPECT_EQ(selected, SelectedFriendItem());
    EXPECT_EQ(Tree().GetItemText(selected), L"Twin(5001)");
    EXPECT_EQ(MessageRows(), firstTwinRows);

    // No friend has these keys: the selection and the list stay.
    for (auto numbers : {std::make_pair(5, 1), std::make_pair(50, 1), std::make_pair(0, 5001)}) {
        EXPECT_EQ(Send(kViewerMsgSelectFriend, numbers.first, numbers.second), kViewerMsgHandled);
        EXPECT_EQ(Tree().GetSelectedItem(), selected);
        EXPECT_EQ(MessageRows(), firstTwinRows);
    }
    Send(kViewerMsgSelectFriend, 50, 0); // "500"
    EXPECT_EQ(Tree().GetItemText(Tree().GetSelectedItem()), L"Short(500)");
    EXPECT_EQ(MessageRows(), 1);
}

TEST_F(ViewerTest, MovingTheSelectionReleasesThePreviousView) {
    std::filesystem::path folder = AccountFolder("1234");
    WriteLog(folder, "1.dat", LogBytes("11", "A", {{1, 0, "a1"}, {2, 1, "a2"}}));
    WriteLog(folder, "2.dat", LogBytes("22", "B", {{1, 0, "b1"}}));
    Send(kViewerMsgShowAccount, 1, 234);
    size_t a = FriendLabels()[0] == L"A(11)" ? 0 : 1;
    size_t b = 1 - a;
    CChatLogFile* logA = FriendLog(a);
    CChatLogFile* logB = FriendLog(b);
    ASSERT_TRUE(logA && logB);

    Send(kViewerMsgSelectFriend, 1, 1);
    EXPECT_TRUE(logA->IsMapped());
    EXPECT_EQ(MessageRows(), 2);

    // While B is handed to the message list, A's view is still there: the
    // rows of A are gone before the view they point into.
    int notices = 0;
    m_frame->m_onFriendSelected = [&](WPARAM log) {
        ++notices;
        EXPECT_EQ(log, reinterpret_cast<WPARAM>(logB));
        EXPECT_TRUE(logA->IsMapped());
    };
    Send(kViewerMsgSelectFriend, 2, 2);
    m_frame->m_onFriendSelected = nullptr;
    EXPECT_EQ(notices, 1);
    EXPECT_FALSE(logA->IsMapped());
    EXPECT_TRUE(logA->IsOpen());
    EXPECT_TRUE(logB->IsMapped());
    EXPECT_EQ(MessageRows(), 1);

    Send(kViewerMsgSelectFriend, 1, 1);
    EXPECT_TRUE(logA->IsMapped());
    EXPECT_FALSE(logB->IsMapped());
    EXPECT_EQ(MessageRows(), 2);

    // Selecting the same friend again changes nothing.
    Send(kViewerMsgSelectFriend, 1, 1);
    EXPECT_TRUE(logA->IsMapped());

    // The root, while it has children, empties the list and releases A.
    Tree().SelectItem(Tree().GetRootItem());
    EXPECT_EQ(MessageRows(), 0);
    EXPECT_FALSE(logA->IsMapped());
    EXPECT_TRUE(logA->IsOpen());
    EXPECT_EQ(SelectedFriendItem(), nullptr);
}

TEST_F(ViewerTest, SelectingAMessageShowsItsText) {
    std::filesystem::path folder = AccountFolder("1234");
    const std::string text = "\xc4\xe3\xba\xc3\r\nsecond line"; // 你好
    WriteLog(folder, "1.dat", LogBytes("11", kZhangSan, {{1, 0, "first"}, {2, 1, text}}));
    Send(kViewerMsgShowAccount, 1, 234);
    Send(kViewerMsgSelectFriend, 1, 1);
    ASSERT_EQ(MessageRows(), 2);
    SelectListRow(MessageList(), 1);
    EXPECT_EQ(ContentText(), L"\u4f60\u597d\r\nsecond line");
    // The panes' own message with 0 empties the content pane.
    EXPECT_EQ(Send(kViewerMsgShowMessageText, 0, 0), kViewerMsgHandled);
    EXPECT_EQ(ContentText(), L"");
    // And kViewerMsgFriendSelected with 0 empties the message list.
    EXPECT_EQ(Send(kViewerMsgFriendSelected, 0, 0), kViewerMsgHandled);
    EXPECT_EQ(MessageRows(), 0);
}

// kViewerMsgShowMessageText and kViewerMsgFriendSelected carry pointers into this process, yet any
// program can send them. Only 0 and what the panes themselves hand over are taken; anything else,
// real memory or a made-up number, must change nothing on screen.
TEST_F(ViewerTest, ForeignPointersIn1034And1035ChangeNothing) {
    std::filesystem::path folder = AccountFolder("1234");
    WriteLog(folder, "1.dat", LogBytes("11", kZhangSan, {{1, 0, "first"}, {2, 1, "second"}}));
    WriteLog(folder, "2.dat", LogBytes("22", kZhangSan, {{3, 0, "third"}}));
    Send(kViewerMsgShowAccount, 1, 234);
    Send(kViewerMsgSelectFriend, 1, 1);
    ASSERT_EQ(MessageRows(), 2);
    SelectListRow(MessageList(), 1);
    ASSERT_EQ(ContentText(), L"second");

    // A log the friend list does not hold, though a real one of this account.
    CChatLogFile stranger;
    ASSERT_TRUE(stranger.Open((folder / "2.dat").wstring().c_str()));
    const char foreignText[] = "foreign";
    const struct {
        UINT message;
        WPARAM wParam;
    } cases[] = {
        {kViewerMsgFriendSelected, reinterpret_cast<WPARAM>(&stranger)},
        {kViewerMsgShowMessageText, reinterpret_cast<WPARAM>(foreignText)},
        {kViewerMsgFriendSelected, 0x12345678},
        {kViewerMsgShowMessageText, 0x12345678},
        {kViewerMsgShowMessageText, static_cast<WPARAM>(-1)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Send(c.message, c.wParam), kViewerMsgHandled) << c.message;
        EXPECT_EQ(MessageRows(), 2) << c.message << " " << c.wParam;
        EXPECT_EQ(ContentText(), L"second") << c.message << " " << c.wParam;
        EXPECT_EQ(
            ::SendMessageW(MessageList(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED),
            1);
    }
    EXPECT_FALSE(stranger.IsMapped());
}

TEST_F(ViewerTest, NewOpenAndSaveKeysDoNothing) {
    std::filesystem::path folder = AccountFolder("1234");
    WriteLog(folder, "1.dat", LogBytes("11", "A", {{1, 0, "a"}}));
    Send(kViewerMsgShowAccount, 1, 234);
    Send(kViewerMsgSelectFriend, 1, 1);
    wchar_t before[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, before);

    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
    ::SetKeyboardState(keys);
    for (WPARAM key : {WPARAM('N'), WPARAM('O'), WPARAM('S')}) {
        MSG msg = {Tree().m_hWnd, WM_KEYDOWN, key, 1, 0, {0, 0}};
        // The frame's accelerators take the key away from the tree...
        EXPECT_TRUE(CWnd::WalkPreTranslateTree(m_frame->m_hWnd, &msg)) << key;
    }
    keys[VK_CONTROL] = keys[VK_LCONTROL] = 0;
    ::SetKeyboardState(keys);
    // ...and turn them into the three commands, which change nothing.
    EXPECT_EQ(m_frame->m_commands, (std::vector<UINT>{ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE}));
    wchar_t after[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_STREQ(before, after);
    EXPECT_EQ(FriendLabels(), std::vector<std::wstring>{L"A(11)"});
    EXPECT_EQ(MessageRows(), 1);
    EXPECT_NE(SelectedFriendItem(), nullptr);
    EXPECT_TRUE(m_frame->IsWindowVisible());
}

// Keys go through the pre-translation walk as the application's loop sends
// them: the form views handle them as a dialog does.
TEST_F(ViewerTest, ArrowKeysMoveTheOrderAsAClickDoesAndF6StillWorks) {
    std::filesystem::path folder = AccountFolder("1234");
    WriteLog(folder, "1.dat", LogBytes("11", kZhangSan, {{1, 0, "first"}, {2, 1, "second"}}));
    Send(kViewerMsgShowAccount, 1, 234);
    Send(kViewerMsgSelectFriend, 1, 1);
    ASSERT_EQ(MessageRows(), 2);
    CChatContentTitle& pane = *m_frame->GetMessageListPane();
    HWND ascending = ::GetDlgItem(pane.m_hWnd, IDC_SORT_ASCENDING);
    HWND descending = ::GetDlgItem(pane.m_hWnd, IDC_SORT_DESCENDING);
    auto press = [&](UINT key) {
        for (UINT message : {WM_KEYDOWN, WM_KEYUP}) {
            MSG msg = {::GetFocus(), message, key, 1, 0, {}};
            if (!CWnd::WalkPreTranslateTree(m_frame->m_hWnd, &msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        Pump();
    };
    auto firstContent = [&] {
        wchar_t text[32] = {};
        LVITEMW item = {};
        item.iSubItem = 3;
        item.pszText = text;
        item.cchTextMax = 32;
        ::SendMessageW(MessageList(), LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
        return std::wstring(text);
    };
    ::SetActiveWindow(m_frame->m_hWnd);
    ::SetFocus(ascending);
    const struct {
        UINT key;
        HWND focus;
        int32_t order;
        const wchar_t* firstRow;
    } steps[] = {{VK_DOWN, descending, 2, L"second"},
                 {VK_UP, ascending, 1, L"first"},
                 {VK_RIGHT, descending, 2, L"second"},
                 {VK_LEFT, ascending, 1, L"first"}};
    for (const auto& step : steps) {
        press(step.key);
        EXPECT_EQ(::GetFocus(), step.focus) << step.key;
        EXPECT_EQ(pane.GetSortOrder(), step.order) << step.key;
        EXPECT_EQ(::SendMessageW(step.focus, BM_GETCHECK, 0, 0), BST_CHECKED) << step.key;
        EXPECT_EQ(
            ::SendMessageW(step.focus == ascending ? descending : ascending, BM_GETCHECK, 0, 0),
            BST_UNCHECKED)
            << step.key;
        EXPECT_EQ(firstContent(), step.firstRow) << step.key;
    }
    // The frame's accelerators still come first: F6 leaves the pane.
    press(VK_F6);
    EXPECT_TRUE(::IsChild(m_frame->GetContentPane()->m_hWnd, ::GetFocus()));
}

TEST_F(ViewerTest, KeyboardFocusStartsInTheTreeAndF6MovesBetweenPanes) {
    ::SetActiveWindow(m_frame->m_hWnd);
    ::SetFocus(m_frame->m_hWnd);
    EXPECT_EQ(::GetFocus(), Tree().m_hWnd);

    auto paneWithFocus = [&]() -> int {
        CWnd* panes[] = {OuterSplitter().GetPane(0, 0), RightSplitter().GetPane(0, 0),
                         RightSplitter().GetPane(1, 0)};
        for (int i = 0; i < 3; ++i)
            if (::IsChild(panes[i]->m_hWnd, ::GetFocus()))
                return i;
        return -1;
    };
    const struct {
        UINT command;
        int pane;
    } steps[] = {{ID_NEXT_PANE, 1},
                 {ID_NEXT_PANE, 2},
                 {ID_NEXT_PANE, 0},
                 {ID_PREV_PANE, 2},
                 {ID_PREV_PANE, 1}};
    for (const auto& step : steps) {
        Send(WM_COMMAND, MAKEWPARAM(step.command, 1), 0);
        EXPECT_EQ(paneWithFocus(), step.pane);
    }
}

} // namespace
