#include "UserTitleWnd.h"

#include "GdiObject.h"
#include "TextConvert.h"
#include "ViewerMessages.h"
#include "WinApp.h"
#include "resource.h"

#include <algorithm>
#include <string>

namespace {
constexpr int kFriendImage = 0;
constexpr int kImageWidth = 15;
constexpr int kImageHeight = 17;
} // namespace

CUserTitleWnd::CUserTitleWnd() : CFormView(IDD_FRIEND_LIST) {}

CUserTitleWnd::~CUserTitleWnd() {
    // While the pane's own handlers still run; then the logs go with the deque.
    DestroyWindow();
}

BOOL CUserTitleWnd::Create(CWnd* parent, UINT id, DWORD style, const RECT& rect,
                           CCreateContext* context) {
    if (!CFormView::Create(parent, id, style, rect, context))
        return FALSE;
    m_imageList.Create(kImageWidth, kImageHeight, ILC_COLOR24, 1, 2);
    CBitmap bitmap;
    if (bitmap.LoadBitmap(IDB_FRIEND))
        m_imageList.Add(bitmap, RGB(0, 0, 0));
    return TRUE;
}

void CUserTitleWnd::DoDataExchange() {
    DDX_Control(IDC_FRIEND_TREE, m_friendTree);
}

void CUserTitleWnd::OnInitialUpdate() {
    CFormView::OnInitialUpdate();
    m_friendTree.SetImageList(m_imageList, TVSIL_NORMAL);
    m_rootItem = m_friendTree.InsertItem(L"\u597d\u53cb\u5217\u8868", kFriendImage, kFriendImage,
                                         TVI_ROOT, TVI_LAST); // 好友列表
}

void CUserTitleWnd::OnSize(UINT type, int cx, int cy) {
    CFormView::OnSize(type, cx, cy);
    ShowWindow(SW_SHOWMAXIMIZED);
    if (!m_friendTree.IsWindow())
        return;
    RECT client = GetClientRect();
    m_friendTree.SetWindowPos(nullptr, 0, 0, std::max<int>(client.right, kMinTreeWidth),
                              client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CUserTitleWnd::HoldsFriendLog(const CChatLogFile* log) const {
    return log != nullptr && std::any_of(m_friendLogs.begin(), m_friendLogs.end(),
                                         [log](const std::unique_ptr<CChatLogFile>& held) {
                                             return held.get() == log;
                                         });
}

void CUserTitleWnd::ExpandFriendRoot() {
    if (m_friendTree.IsWindow())
        m_friendTree.Expand(m_rootItem, TVE_EXPAND);
}

void CUserTitleWnd::ClearFriends() {
    if (!m_friendTree.IsWindow())
        return;
    // Collapse first: the selection, if on a friend, moves to the root here,
    // once, while every log is still alive (the message list is told and the
    // friend's view released), instead of hopping from friend to friend as
    // they are deleted; deleting items that are not shown is also far cheaper.
    m_friendTree.SendMessage(WM_SETREDRAW, FALSE);
    m_friendTree.Expand(m_rootItem, TVE_COLLAPSE);
    // Should the tree have kept a friend selected without telling, the
    // message list still has to let go of that log before the logs go.
    if (m_selectedItem != nullptr && m_selectedItem != m_rootItem) {
        if (CWnd* main = AfxGetMainWnd())
            main->SendMessage(kViewerMsgFriendSelected, 0, 0);
        m_selectedItem = nullptr;
    }
    HTREEITEM item = m_friendTree.GetChildItem(m_rootItem);
    while (item != nullptr) {
        HTREEITEM next = m_friendTree.GetNextSiblingItem(item);
        m_friendTree.DeleteItem(item);
        item = next;
    }
    m_friendTree.SendMessage(WM_SETREDRAW, TRUE);
    m_friendTree.Invalidate();

    for (auto& log : m_friendLogs)
        log->Close();
    m_friendLogs.clear();
    m_friendPaths.clear();
    m_selectedItem = nullptr;
}

void CUserTitleWnd::AddFriendLog(const wchar_t* path) {
    if (path == nullptr)
        return;
    auto log = std::make_unique<CChatLogFile>();
    if (log->Open(path))
        AddFriend(std::move(log), path);
    else
        log->Close();
}

void CUserTitleWnd::AddFriend(std::unique_ptr<CChatLogFile> log, std::wstring path) {
    if (!log)
        return;
    CChatLogFile* added = log.get();
    m_friendLogs.push_back(std::move(log));
    m_friendPaths.push_back(std::move(path));
    // Each field converted on its own: a nickname cut inside a character
    // must not swallow the parenthesis.
    std::string_view name = added->FriendName();
    std::string_view key = added->FriendKey();
    std::wstring label =
        WideFromGbk(name.data(), name.size()) + L"(" + WideFromGbk(key.data(), key.size()) + L")";
    HTREEITEM item =
        m_friendTree.InsertItem(label.c_str(), kFriendImage, kFriendImage, m_rootItem, TVI_LAST);
    if (item != nullptr)
        m_friendTree.SetItemData(item, reinterpret_cast<DWORD_PTR>(added));
}

CChatLogFile* CUserTitleWnd::SelectedFriendLog() const {
    if (!m_friendTree.IsWindow())
        return nullptr;
    HTREEITEM selected = m_friendTree.GetSelectedItem();
    if (selected == nullptr || selected == m_rootItem)
        return nullptr;
    return reinterpret_cast<CChatLogFile*>(m_friendTree.GetItemData(selected));
}

std::wstring CUserTitleWnd::FriendLogPath(const CChatLogFile* log) const {
    for (size_t i = 0; i < m_friendLogs.size(); ++i)
        if (m_friendLogs[i].get() == log)
            return m_friendPaths[i];
    return {};
}

void CUserTitleWnd::SelectFriend(const char* key) {
    if (key == nullptr || !m_friendTree.IsWindow())
        return;
    const std::string_view wanted(key);
    for (HTREEITEM item = m_friendTree.GetChildItem(m_rootItem); item != nullptr;
         item = m_friendTree.GetNextSiblingItem(item)) {
        auto* log = reinterpret_cast<CChatLogFile*>(m_friendTree.GetItemData(item));
        if (log == nullptr)
            continue;
        if (log->FriendKey() == wanted) {
            m_friendTree.SelectItem(item);
            return;
        }
    }
}

CChatLogFile* CUserTitleWnd::SelectFriendAt(size_t position, std::string_view key) {
    if (!m_friendTree.IsWindow())
        return nullptr;
    HTREEITEM chosen = nullptr;
    HTREEITEM firstWithKey = nullptr;
    size_t at = 0;
    for (HTREEITEM item = m_friendTree.GetChildItem(m_rootItem); item != nullptr;
         item = m_friendTree.GetNextSiblingItem(item), ++at) {
        auto* log = reinterpret_cast<CChatLogFile*>(m_friendTree.GetItemData(item));
        if (log == nullptr || log->FriendKey() != key)
            continue;
        if (firstWithKey == nullptr)
            firstWithKey = item;
        if (at == position) {
            chosen = item;
            break;
        }
    }
    if (chosen == nullptr)
        chosen = firstWithKey;
    if (chosen == nullptr)
        return nullptr;
    m_friendTree.SelectItem(chosen);
    return reinterpret_cast<CChatLogFile*>(m_friendTree.GetItemData(chosen));
}

BOOL CUserTitleWnd::OnNotify(int id, NMHDR* header, LRESULT* result) {
    if (id == IDC_FRIEND_TREE && header->code == TVN_SELCHANGEDW) {
        OnSelchangedFriendTree(header, result);
        return TRUE;
    }
    if (id == IDC_FRIEND_TREE && header->code == TVN_DELETEITEMW) {
        // A selected friend deleted behind our back must not be looked at later.
        auto* view = reinterpret_cast<NMTREEVIEWW*>(header);
        if (view->itemOld.hItem == m_selectedItem)
            m_selectedItem = nullptr;
        *result = 0;
        return TRUE;
    }
    return CFormView::OnNotify(id, header, result);
}

void CUserTitleWnd::OnSelchangedFriendTree(NMHDR*, LRESULT* result) {
    *result = 0;
    HTREEITEM selection = m_friendTree.GetSelectedItem();
    if (m_selectedItem != nullptr && m_selectedItem == selection)
        return;
    CWnd* main = AfxGetMainWnd();
    if (main == nullptr)
        return;

    const bool isFriend = selection != nullptr && !m_friendTree.ItemHasChildren(selection);
    const WPARAM log = isFriend ? static_cast<WPARAM>(m_friendTree.GetItemData(selection)) : 0;
    main->SendMessage(kViewerMsgFriendSelected, log, 0);

    // Only now: the message list has let go of the previous friend's rows.
    if (m_selectedItem != nullptr) {
        if (auto* previous =
                reinterpret_cast<CChatLogFile*>(m_friendTree.GetItemData(m_selectedItem)))
            previous->ReleaseView();
    }
    m_selectedItem = isFriend ? selection : nullptr;
}
