// CMainFrame: the viewer's main window. Two static splitters hold the three
// panes; the window procedure takes the client's messages (reset, show an
// account, select a friend) and the panes' (message text, friend selected).
// The frame keeps no pointers to panes: it asks the splitters each time.
#pragma once

#include "ExportCommand.h"
#include "FrameWnd.h"
#include "MessageFinder.h"
#include "PaneHost.h"
#include "ShellDialogs.h"
#include "SplitterWnd.h"

#include <memory>
#include <string>

class CUserTitleWnd;
class CChatContentTitle;
class CContentOutput;
class CFindAllFriendsWnd;

class CMainFrame : public CFrameWnd, public CPaneHost {
public:
    static constexpr char kClassName[] = "CMainFrame";

    CMainFrame();
    ~CMainFrame() override;

    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void ActivateFrame(int cmdShow = -1) override;
    BOOL OnCreateClient(CREATESTRUCTW* cs, CCreateContext* context) override;

    // Friend list a seventh of the width (at least 190), the content pane at
    // least a fifth of the height and 120 pixels. Overrides dragged bars.
    void RecalcPaneSizes();
    // Content pane, then message list, then friend list.
    void ResetPanes();
    // Resets, then lists the folder if it is one.
    void LoadAccount(const wchar_t* folder);
    // Hands every chat log file of the folder to the friend list, in
    // listing order, then expands its root.
    void EnumerateChatLogs(const wchar_t* folder);

    // 打开聊天记录: asks for a folder and shows its chat logs as 1026 shows an
    // account's; a folder without any is reported and changes nothing.
    void OpenChatLogFolder();
    // Who asks the user (folder picker, Save dialog, message boxes): the
    // system's dialogs unless a test stands in.
    void SetShellDialogs(CShellDialogs& dialogs) { m_shell = &dialogs; }
    CShellDialogs& ShellDialogs() const override { return *m_shell; }
    HWND HostWindow() const override { return m_hWnd; }

    // The panes at their splitter positions (null before they exist).
    CUserTitleWnd* GetFriendListPane() const override;
    CChatContentTitle* GetMessageListPane() const override;
    CContentOutput* GetContentPane() const override;
    // 导出聊天记录, with the choices it keeps for the next time.
    CExportCommand& ExportCommand() { return m_export; }
    // The 在所有好友中查找 window, once it has been opened (else null).
    CFindAllFriendsWnd* GetFindAllFriendsWnd() const { return m_findAllFriends.get(); }

protected:
    void OnSize(UINT type, int cx, int cy) override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    void OnSetFocus(HWND oldFocus) override;
    void OnActivate(UINT state, HWND other, BOOL minimized) override;

    // The client's messages and the panes' (ViewerMessages.h); each answers
    // kViewerMsgHandled.
    LRESULT OnResetPanes();
    LRESULT OnShowAccount(WPARAM first, LPARAM second);
    LRESULT OnSelectFriend(WPARAM first, LPARAM second);
    LRESULT OnShowMessageText(WPARAM text);
    LRESULT OnFriendSelected(WPARAM log);
    // The Find dialog's report (its registered message).
    LRESULT OnFindReplace(LPARAM findReplace);

private:
    void MovePaneFocus(bool forward);
    // Greys the 编辑 items that have nothing to act on, as the menu opens
    // (and as an accelerator asks before it sends its command).
    void UpdateEditMenu(HMENU menu) const;
    bool CanCopy() const;

    CSplitterWnd m_outerSplitter;
    CSplitterWnd m_rightSplitter;
    BOOL m_splittersReady = FALSE;
    HWND m_lastFocus = nullptr; // the control that had the focus when the frame lost it
    std::unique_ptr<CFindAllFriendsWnd> m_findAllFriends; // made on first use
    CMessageFinder m_finder;
    CExportCommand m_export;
    CShellDialogs* m_shell = &CShellDialogs::System();
    std::wstring m_lastOpenedFolder; // offered by the next 打开聊天记录 of this run
};
