#include "MainFrame.h"

#include "ChatContentTitle.h"
#include "ChatLogFolder.h"
#include "ChatLogNames.h"
#include "ChatLogPaths.h"
#include "ContentOutput.h"
#include "FindAllFriendsWnd.h"
#include "PaneSizing.h"
#include "TableCommands.h"
#include "UniqueHandle.h"
#include "UserTitleWnd.h"
#include "ViewerMessages.h"
#include "resource.h"

#include <string>

CMainFrame::CMainFrame() = default;

CMainFrame::~CMainFrame() {
    // While the whole object still stands, so that every handler runs.
    DestroyWindow();
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCTW& cs) {
    return CFrameWnd::PreCreateWindow(cs);
}

void CMainFrame::ActivateFrame(int cmdShow) {
    CFrameWnd::ActivateFrame(cmdShow);
}

BOOL CMainFrame::OnCreateClient(CREATESTRUCTW*, CCreateContext* context) {
    if (!m_outerSplitter.CreateStatic(this, 1, 2, WS_CHILD | WS_VISIBLE, AFX_IDW_PANE_FIRST))
        return FALSE;
    if (!m_outerSplitter.CreateView(0, 0, RuntimeClassOf<CUserTitleWnd>(), {200, 0}, context))
        return FALSE;
    if (!m_rightSplitter.CreateStatic(&m_outerSplitter, 2, 1, WS_CHILD | WS_VISIBLE,
                                      m_outerSplitter.IdFromRowCol(0, 1)))
        return FALSE;
    if (!m_rightSplitter.CreateView(0, 0, RuntimeClassOf<CChatContentTitle>(), {0, 0}, context))
        return FALSE;
    if (!m_rightSplitter.CreateView(1, 0, RuntimeClassOf<CContentOutput>(), {0, 0}, context))
        return FALSE;
    m_splittersReady = TRUE;
    RecalcPaneSizes();
    return TRUE;
}

void CMainFrame::RecalcPaneSizes() {
    if (!m_splittersReady || m_outerSplitter.m_hWnd == nullptr)
        return;

    int w0 = 0, w1 = 0, minimum = 0, unused = 0;
    m_outerSplitter.GetColumnInfo(0, w0, unused);
    m_outerSplitter.GetColumnInfo(1, w1, minimum);
    std::optional<int> width = viewer::FriendColumnWidth(w0, w1);
    if (!width)
        return;
    m_outerSplitter.SetColumnInfo(0, *width, minimum);
    m_outerSplitter.RecalcLayout();

    int h0 = 0, h1 = 0;
    m_rightSplitter.GetRowInfo(0, h0, unused);
    m_rightSplitter.GetRowInfo(1, h1, minimum);
    std::optional<int> height = viewer::MessageRowHeight(h0, h1);
    if (!height)
        return;
    m_rightSplitter.SetRowInfo(0, *height, minimum);
    m_rightSplitter.RecalcLayout();
}

void CMainFrame::OnSize(UINT type, int cx, int cy) {
    CFrameWnd::OnSize(type, cx, cy);
    RecalcPaneSizes();
}

CUserTitleWnd* CMainFrame::GetFriendListPane() const {
    return dynamic_cast<CUserTitleWnd*>(m_outerSplitter.GetPane(0, 0));
}

CChatContentTitle* CMainFrame::GetMessageListPane() const {
    return dynamic_cast<CChatContentTitle*>(m_rightSplitter.GetPane(0, 0));
}

CContentOutput* CMainFrame::GetContentPane() const {
    return dynamic_cast<CContentOutput*>(m_rightSplitter.GetPane(1, 0));
}

void CMainFrame::ResetPanes() {
    // Its hits name friends of the account shown until now.
    if (m_findAllFriends)
        m_findAllFriends->Clear();
    if (CContentOutput* content = GetContentPane())
        content->ClearMessageText();
    if (CChatContentTitle* messages = GetMessageListPane())
        messages->ClearMessages();
    if (CUserTitleWnd* friends = GetFriendListPane())
        friends->ClearFriends();
}

void CMainFrame::LoadAccount(const wchar_t* folder) {
    ResetPanes();
    if (viewer::IsFolder(folder))
        EnumerateChatLogs(folder);
}

void CMainFrame::EnumerateChatLogs(const wchar_t* folder) {
    if (folder == nullptr)
        return;
    std::wstring pattern;
    if (!viewer::ComposeListingPattern(folder, pattern))
        return;
    WIN32_FIND_DATAW entry;
    CFindHandle listing(::FindFirstFileW(pattern.c_str(), &entry));
    if (!listing.IsValid())
        return;
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        if (!chatlog::IsChatLogFileName(entry.cFileName))
            continue;
        std::wstring path;
        if (!viewer::ComposeListedFilePath(folder, entry.cFileName, path))
            continue; // would not fit: skipped like a file that cannot be read
        if (CUserTitleWnd* friends = GetFriendListPane())
            friends->AddFriendLog(path.c_str());
    } while (::FindNextFileW(listing.Get(), &entry));
    if (CUserTitleWnd* friends = GetFriendListPane())
        friends->ExpandFriendRoot();
}

void CMainFrame::OpenChatLogFolder() {
    std::wstring start = m_lastOpenedFolder;
    if (start.empty()) {
        wchar_t current[kPathBufferChars] = {};
        if (::GetCurrentDirectoryW(kPathBufferChars, current) < kPathBufferChars)
            start = current;
    }
    std::wstring chosen, logs;
    if (!m_shell->PickFolder(m_hWnd, L"选择聊天记录所在的文件夹", start, chosen))
        return;
    if (!viewer::FindChatLogFolder(chosen, logs)) {
        m_shell->Message(m_hWnd, L"这个文件夹中没有聊天记录：\n" + chosen,
                         MB_OK | MB_ICONINFORMATION);
        return;
    }
    m_lastOpenedFolder = chosen;
    LoadAccount(logs.c_str());
}

void CMainFrame::OnSetFocus(HWND) {
    // The keyboard goes back to the control that had it, or to the friend
    // tree, rather than staying on the frame, which takes no keys itself.
    HWND target = m_lastFocus;
    if (target == nullptr || !::IsWindow(target) || !::IsChild(m_hWnd, target)) {
        CUserTitleWnd* friends = GetFriendListPane();
        target = friends ? ::GetDlgItem(friends->m_hWnd, IDC_FRIEND_TREE) : nullptr;
    }
    if (target != nullptr)
        ::SetFocus(target);
}

void CMainFrame::OnActivate(UINT state, HWND other, BOOL minimized) {
    if (state == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus != nullptr && ::IsChild(m_hWnd, focus))
            m_lastFocus = focus;
    }
    CFrameWnd::OnActivate(state, other, minimized);
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // A registered message has its number only at run time.
    if (message == CFindReplaceDialog::GetFindReplaceMsg())
        return OnFindReplace(lParam);
    switch (message) {
    case WM_INITMENUPOPUP:
        UpdateEditMenu(reinterpret_cast<HMENU>(wParam));
        return CFrameWnd::WindowProc(message, wParam, lParam);
    case kViewerMsgResetPanes:
        return OnResetPanes();
    case kViewerMsgShowAccount:
        return OnShowAccount(wParam, lParam);
    case kViewerMsgSelectFriend:
        return OnSelectFriend(wParam, lParam);
    case kViewerMsgShowMessageText:
        return OnShowMessageText(wParam);
    case kViewerMsgFriendSelected:
        return OnFriendSelected(wParam);
    default:
        return CFrameWnd::WindowProc(message, wParam, lParam);
    }
}

LRESULT CMainFrame::OnResetPanes() {
    ResetPanes();
    return kViewerMsgHandled;
}

LRESULT CMainFrame::OnShowAccount(WPARAM first, LPARAM second) {
    std::string key = chatlog::FormatAccountKey(first, static_cast<std::uintptr_t>(second));
    LoadAccount(viewer::BuildChatLogPath(key.c_str()));
    return kViewerMsgHandled;
}

LRESULT CMainFrame::OnSelectFriend(WPARAM first, LPARAM second) {
    std::string key = chatlog::FormatAccountKey(first, static_cast<std::uintptr_t>(second));
    if (CUserTitleWnd* friends = GetFriendListPane())
        friends->SelectFriend(key.c_str());
    return kViewerMsgHandled;
}

LRESULT CMainFrame::OnShowMessageText(WPARAM wParam) {
    // Any program can send this message with any number. Only 0 or the text
    // the message list is handing over right now is read; anything else is
    // ignored, before it empties or reads anything.
    const auto* text = reinterpret_cast<const char*>(wParam);
    CChatContentTitle* messages = GetMessageListPane();
    if (text != nullptr && (messages == nullptr || !messages->IsHandingOver(text)))
        return kViewerMsgHandled;
    if (CContentOutput* content = GetContentPane())
        content->SetMessageText(text);
    return kViewerMsgHandled;
}

LRESULT CMainFrame::OnFriendSelected(WPARAM wParam) {
    // Likewise: 0, or one of the friend list's own chat logs.
    auto* log = reinterpret_cast<CChatLogFile*>(wParam);
    CUserTitleWnd* friends = GetFriendListPane();
    if (log != nullptr && (friends == nullptr || !friends->HoldsFriendLog(log)))
        return kViewerMsgHandled;
    if (CChatContentTitle* messages = GetMessageListPane())
        messages->LoadMessages(log);
    return kViewerMsgHandled;
}

LRESULT CMainFrame::OnFindReplace(LPARAM findReplace) {
    m_finder.OnFindReplace(findReplace, *this);
    return 0;
}

BOOL CMainFrame::OnCommand(UINT id, UINT code, HWND control) {
    switch (id) {
    case ID_EDIT_FIND:
        m_finder.OpenDialog(m_hWnd);
        return TRUE;
    case ID_EDIT_FIND_NEXT:
    case ID_EDIT_FIND_PREVIOUS:
        m_finder.FindAgain(id == ID_EDIT_FIND_NEXT, *this);
        return TRUE;
    case ID_FILE_NEW:
    case ID_FILE_OPEN:
    case ID_FILE_SAVE:
        // The document holds nothing and the viewer writes no file: new, open
        // and save have nothing to do (and must not move the current folder).
        return TRUE;
    case ID_FILE_OPEN_CHATLOG:
        OpenChatLogFolder();
        return TRUE;
    case ID_FILE_EXPORT_CHATLOG:
        m_export.Run(*this);
        return TRUE;
    case ID_EDIT_GOTO_DATE:
        if (CChatContentTitle* messages = GetMessageListPane())
            viewer::GoToDate(*messages, m_hWnd);
        return TRUE;
    case ID_EDIT_COPY:
        // The table copies its selected message (nothing when none is
        // selected); any other control its own selection.
        if (CChatContentTitle* messages = GetMessageListPane()) {
            if (::GetFocus() == messages->TableWindow() && messages->TableWindow() != nullptr) {
                viewer::CopySelectedMessage(*messages, m_hWnd);
                return TRUE;
            }
        }
        [[fallthrough]];
    case ID_EDIT_CUT:
    case ID_EDIT_PASTE:
    case ID_EDIT_UNDO: {
        // The accelerators take these keys before the focused control sees
        // them; hand them back as the edit messages, so the message text can
        // be copied with the keyboard (the read-only control refuses the rest).
        HWND focus = ::GetFocus();
        if (focus != nullptr && ::IsChild(m_hWnd, focus)) {
            UINT edit = id == ID_EDIT_COPY    ? WM_COPY
                        : id == ID_EDIT_CUT   ? WM_CUT
                        : id == ID_EDIT_PASTE ? WM_PASTE
                                              : WM_UNDO;
            ::SendMessageW(focus, edit, 0, 0);
        }
        return TRUE;
    }
    case ID_EDIT_FIND_ALL_FRIENDS:
        if (!m_findAllFriends)
            m_findAllFriends = std::make_unique<CFindAllFriendsWnd>();
        if (m_findAllFriends->Create(this))
            m_findAllFriends->ShowAndFocus();
        return TRUE;
    case ID_NEXT_PANE:
    case ID_PREV_PANE:
        MovePaneFocus(id == ID_NEXT_PANE);
        return TRUE;
    default:
        return CFrameWnd::OnCommand(id, code, control);
    }
}

void CMainFrame::MovePaneFocus(bool forward) {
    CWnd* panes[] = {GetFriendListPane(), GetMessageListPane(), GetContentPane()};
    constexpr int count = 3;
    HWND focus = ::GetFocus();
    int current = -1;
    for (int i = 0; i < count; ++i) {
        if (panes[i] != nullptr && focus != nullptr &&
            (panes[i]->m_hWnd == focus || ::IsChild(panes[i]->m_hWnd, focus)))
            current = i;
    }
    int next = current < 0 ? 0 : (current + (forward ? 1 : count - 1)) % count;
    if (panes[next] == nullptr)
        return;
    HWND target = ::GetNextDlgTabItem(panes[next]->m_hWnd, nullptr, FALSE);
    ::SetFocus(target != nullptr ? target : panes[next]->m_hWnd);
}

void CMainFrame::UpdateEditMenu(HMENU menu) const {
    CChatContentTitle* messages = GetMessageListPane();
    CUserTitleWnd* friends = GetFriendListPane();
    // The finds and 转到日期 act on the friend shown, 在所有好友中查找 on every
    // friend listed, 复制 on the selected row or the focused text's selection.
    const bool friendShown = messages != nullptr && messages->GetCurrentLog() != nullptr;
    const struct {
        UINT id;
        bool enabled;
    } items[] = {
        {ID_EDIT_FIND, friendShown},
        {ID_EDIT_FIND_NEXT, friendShown},
        {ID_EDIT_FIND_PREVIOUS, friendShown},
        {ID_EDIT_GOTO_DATE, friendShown},
        {ID_EDIT_FIND_ALL_FRIENDS, friends != nullptr && friends->HasFriends()},
        {ID_EDIT_COPY, CanCopy()},
    };
    for (const auto& item : items)
        ::EnableMenuItem(menu, item.id, MF_BYCOMMAND | (item.enabled ? MF_ENABLED : MF_GRAYED));
}

bool CMainFrame::CanCopy() const {
    HWND focus = ::GetFocus();
    if (focus == nullptr || !::IsChild(m_hWnd, focus))
        return false;
    CChatContentTitle* messages = GetMessageListPane();
    if (messages != nullptr && focus == messages->TableWindow())
        return messages->SelectedRow() >= 0;
    wchar_t className[8] = {};
    ::GetClassNameW(focus, className, 8);
    if (::lstrcmpiW(className, L"Edit") != 0)
        return false;
    DWORD start = 0, end = 0;
    ::SendMessageW(focus, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    return start != end;
}
