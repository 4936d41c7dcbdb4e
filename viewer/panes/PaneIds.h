// Ids the message list and content panes use: their form templates and
// controls, and the message that carries the selected text to the frame.
#pragma once

#include <windows.h>

#define IDD_MESSAGE_LIST_FORM 131
#define IDD_CONTENT_FORM 132
#define IDC_MESSAGE_LIST 1001
#define IDC_MESSAGE_EDIT 1002
#define IDC_ASCENDING 1003
#define IDC_DESCENDING 1004
#define IDC_FILTER_COMBO 1005

// wParam: the selected message's GBK text (NUL-terminated, borrowed for the
// call) or 0 to empty the content pane; lParam: 0. Sent by the message list
// pane to the main window, which hands it to the content pane.
#define WM_SHOW_MESSAGE_TEXT (WM_USER + 10)
