// CUserTitleWnd: the friend list pane. One tree: the root "好友列表" with one
// child per chat log of the account, labelled "nickname(key)". The pane owns
// every friend's CChatLogFile; selecting a friend hands that log to the main
// frame (which has the message list show it), then releases the view of the
// friend selected before.
#pragma once

#include "ChatLogFile.h"
#include "FormView.h"
#include "ImageList.h"
#include "TreeCtrl.h"

#include <deque>
#include <memory>
#include <string>
#include <string_view>

class CUserTitleWnd : public CFormView {
public:
    static constexpr char kClassName[] = "CUserTitleWnd";
    // The tree never gets narrower than this.
    static constexpr int kMinTreeWidth = 120;

    CUserTitleWnd();
    ~CUserTitleWnd() override;

    BOOL Create(CWnd* parent, UINT id, DWORD style, const RECT& rect,
                CCreateContext* context) override;

    // Removes every friend (the root stays), then closes and frees their logs.
    void ClearFriends();
    // Opens the log at path and lists it; a log that cannot be opened or has
    // no complete header is skipped silently.
    void AddFriendLog(const wchar_t* path);
    // Lists an opened log after the last friend; `path` is where it was
    // opened from, for a reader that opens the file again on its own.
    void AddFriend(std::unique_ptr<CChatLogFile> log, std::wstring path = {});
    void ExpandFriendRoot();
    // Selects the first friend whose key is exactly key; nothing else when
    // no friend has it.
    void SelectFriend(const char* key);
    // Whether log is one of the pane's own chat logs. Compares addresses
    // only, so any number may be asked about: the frame checks the pointer
    // that kViewerMsgFriendSelected carries before anything uses it.
    bool HoldsFriendLog(const CChatLogFile* log) const;
    // Whether the tree lists any friend.
    bool HasFriends() const {
        return m_friendTree.IsWindow() && m_friendTree.GetChildItem(m_rootItem) != nullptr;
    }

    // The friend selected in the tree, or null (none, or the root).
    CChatLogFile* SelectedFriendLog() const;
    // Where one of the pane's logs was opened from (empty when unknown).
    std::wstring FriendLogPath(const CChatLogFile* log) const;

    // Calls visit(position, log) for every friend, in tree order; position
    // counts the friends from 0. The log is lent for the call only.
    template <class Visit> void VisitFriendLogs(Visit&& visit);
    // Selects the friend at position (as VisitFriendLogs counts) when its key
    // is still key, else the first friend with that key, as a click would;
    // the log then selected, or null when no friend fits.
    CChatLogFile* SelectFriendAt(size_t position, std::string_view key);

protected:
    void DoDataExchange() override;
    void OnInitialUpdate() override;
    void OnSize(UINT type, int cx, int cy) override;
    BOOL OnNotify(int id, NMHDR* header, LRESULT* result) override;

    void OnSelchangedFriendTree(NMHDR* header, LRESULT* result);

private:
    CImageList m_imageList;
    HTREEITEM m_rootItem = nullptr;
    HTREEITEM m_selectedItem = nullptr;
    std::deque<std::unique_ptr<CChatLogFile>> m_friendLogs;
    std::deque<std::wstring> m_friendPaths; // beside m_friendLogs, index for index
    CTreeCtrl m_friendTree;
};

template <class Visit> void CUserTitleWnd::VisitFriendLogs(Visit&& visit) {
    if (!m_friendTree.IsWindow())
        return;
    size_t position = 0;
    for (HTREEITEM item = m_friendTree.GetChildItem(m_rootItem); item != nullptr;
         item = m_friendTree.GetNextSiblingItem(item), ++position) {
        if (auto* log = reinterpret_cast<CChatLogFile*>(m_friendTree.GetItemData(item)))
            visit(position, *log);
    }
}
