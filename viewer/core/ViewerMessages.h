// The viewer's window messages, named once: what the client sends the main
// window, and what the panes send it. Every handled one is answered with
// kViewerMsgHandled. Free of window headers so that the client stand-in and
// the tests can include it as well.
#pragma once

constexpr unsigned kViewerWmUser = 0x0400; // WM_USER

// Client -> main window: empty all three panes.
// wParam, lParam: not used.
constexpr unsigned kViewerMsgResetPanes = kViewerWmUser + 1; // 1025

// Client -> main window: show an account's friends.
// wParam: low 16 bits = first number of the owner's account key (the upper
// bits are ignored); lParam: second number, unsigned 32 bits.
constexpr unsigned kViewerMsgShowAccount = kViewerWmUser + 2; // 1026

// Client -> main window: select a friend of the account shown.
// wParam, lParam: the friend's two numbers, as for kViewerMsgShowAccount.
constexpr unsigned kViewerMsgSelectFriend = kViewerWmUser + 3; // 1027

// Message list pane -> main window (sent, never posted): show a message text.
// wParam: const char*, the NUL-terminated GBK text of the selected message,
// owned by the message list pane and borrowed for the call only; 0 empties
// the content pane. lParam: 0. Any other pointer (another program may send
// this message with any number) is ignored and changes nothing.
constexpr unsigned kViewerMsgShowMessageText = kViewerWmUser + 10; // 1034

// Friend list pane -> main window (sent, never posted): a friend was selected.
// wParam: CChatLogFile* of that friend, owned by the friend list pane and
// borrowed by the message list pane until the next one; 0 empties the
// message list. lParam: 0. A pointer that is not one of the friend list's
// chat logs is ignored and changes nothing.
constexpr unsigned kViewerMsgFriendSelected = kViewerWmUser + 11; // 1035

// The answer to every message above.
constexpr long kViewerMsgHandled = 1;

// The main window's caption, by which the client finds it.
constexpr wchar_t kViewerCaption[] = L"\u4fe1\u606f\u7ba1\u7406\u5668"; // 信息管理器
