// 打开聊天记录 on a real main frame, the user at the folder picker played by
// a script: which folders are followed to their logs, the message for a
// folder without any, the folder offered next time, and the client's 1026
// afterwards.
#include "ScriptedShell.h"
#include "ViewerFixture.h"

namespace {

class OpenFolder : public ViewerTest {
protected:
    void SetUp() override {
        ViewerTest::SetUp();
        m_frame->SetShellDialogs(m_shell);
        // The client's own account, and a backup somewhere else.
        WriteLog(AccountFolder("1234"), "11.dat", LogBytes("11", "Client"));
        m_backup = m_dir / "backup";
        std::filesystem::path logs = m_backup / "5678" / "ChatLog";
        std::filesystem::create_directories(logs);
        WriteLog(logs, "21.dat", LogBytes("21", "B1"));
        WriteLog(logs, "22.dat", LogBytes("22", "B2"));
        std::filesystem::create_directories(m_dir / "empty" / "ChatLog");
        WriteLog(m_dir / "empty", "notes.txt", "x");
    }
    void Open(const std::filesystem::path& folder) {
        m_shell.m_folders.push_back(folder.wstring());
        Send(WM_COMMAND, ID_FILE_OPEN_CHATLOG);
    }
    CScriptedShell m_shell;
    std::filesystem::path m_backup;
};

TEST_F(OpenFolder, FollowsAnAccountFolderToItsLogs) {
    const std::filesystem::path backup = m_dir / "backup";
    const struct {
        std::filesystem::path chosen;
        const char* what;
    } cases[] = {
        {backup / "5678" / "ChatLog", "the ChatLog folder"},
        {backup / "5678", "an account's folder"},
        {backup, "a client's folder with one account"},
    };
    for (const auto& c : cases) {
        Send(kViewerMsgShowAccount, 1, 234);
        ASSERT_EQ(FriendLabels().size(), 1u);
        Open(c.chosen);
        EXPECT_EQ(FriendLabels().size(), 2u) << c.what;
        EXPECT_TRUE(m_shell.m_messages.empty()) << c.what;
        EXPECT_NE(Tree().GetChildItem(Tree().GetRootItem()), nullptr);
    }
}

TEST_F(OpenFolder, AFolderWithoutLogsSaysSoAndChangesNothing) {
    Send(kViewerMsgShowAccount, 1, 234);
    Tree().SelectItem(FriendItem(0));
    Pump();
    const std::filesystem::path second = m_backup / "9999" / "ChatLog";
    std::filesystem::create_directories(second);
    WriteLog(second, "31.dat", LogBytes("31", "C"));
    // No log; and a client's folder with two accounts cannot say which.
    for (const std::filesystem::path& chosen : {m_dir / "empty", m_backup}) {
        m_shell.m_messages.clear();
        Open(chosen);
        ASSERT_EQ(m_shell.m_messages.size(), 1u) << chosen;
        EXPECT_NE(m_shell.m_messages[0].find(chosen.wstring()), std::wstring::npos);
        EXPECT_EQ(FriendLabels().size(), 1u) << chosen;
        EXPECT_NE(SelectedFriendItem(), nullptr) << chosen;
    }
}

TEST_F(OpenFolder, CancelChangesNothingAndTheLastFolderIsOfferedNext) {
    Send(kViewerMsgShowAccount, 1, 234);
    Open(L""); // cancelled
    EXPECT_EQ(FriendLabels().size(), 1u);
    ASSERT_EQ(m_shell.m_folderStarts.size(), 1u);
    EXPECT_EQ(std::filesystem::path(m_shell.m_folderStarts[0]), m_dir); // the client's folder
    Open(m_backup / "5678");
    Open(L"");
    ASSERT_EQ(m_shell.m_folderStarts.size(), 3u);
    EXPECT_EQ(m_shell.m_folderStarts[2], (m_backup / "5678").wstring());
}

TEST_F(OpenFolder, TheClientsMessagesStillWorkAfterwards) {
    Open(m_backup / "5678");
    ASSERT_EQ(FriendLabels().size(), 2u);
    Send(kViewerMsgSelectFriend, 2, 2); // key 22, a friend of the opened folder
    const HTREEITEM selected = SelectedFriendItem();
    ASSERT_NE(selected, nullptr);
    wchar_t label[64] = {};
    TVITEMW item = {};
    item.mask = TVIF_TEXT;
    item.hItem = selected;
    item.pszText = label;
    item.cchTextMax = 64;
    ::SendMessageW(Tree().m_hWnd, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_NE(std::wstring(label).find(L"B2"), std::wstring::npos) << label;
    Send(kViewerMsgShowAccount, 1, 234);
    EXPECT_EQ(FriendLabels().size(), 1u);
    Send(kViewerMsgResetPanes);
    EXPECT_TRUE(FriendLabels().empty());
}

} // namespace
