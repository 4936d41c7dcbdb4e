// CPaneHost: how the viewer's commands (the finds, the export) reach the
// three panes and the window that owns their dialogs. The main frame
// implements it, so those commands need not know the frame.
#pragma once

#include <windows.h>

class CUserTitleWnd;
class CChatContentTitle;
class CContentOutput;
class CShellDialogs;

class CPaneHost {
public:
    // The panes at their places (null before they exist).
    virtual CUserTitleWnd* GetFriendListPane() const = 0;
    virtual CChatContentTitle* GetMessageListPane() const = 0;
    virtual CContentOutput* GetContentPane() const = 0;
    // The window that owns the commands' dialogs and message boxes.
    virtual HWND HostWindow() const = 0;
    // Who asks the user: the system's dialogs unless a test stands in.
    virtual CShellDialogs& ShellDialogs() const = 0;

protected:
    ~CPaneHost() = default;
};
