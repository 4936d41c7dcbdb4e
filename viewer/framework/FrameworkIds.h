// Command and window ids that the thin window layer gives a meaning to. Plain
// macros so that the resource compiler can read this file too.
#pragma once

// Child id of a frame's client window, and of pane (0,0) of a splitter; the
// pane at (row, col) is AFX_IDW_PANE_FIRST + row * 16 + col.
#define AFX_IDW_PANE_FIRST 0xE900
#define AFX_IDW_PANE_LAST 0xE9FF

#define ID_FILE_NEW 0xE100
#define ID_FILE_OPEN 0xE101
#define ID_FILE_SAVE 0xE103
#define ID_EDIT_COPY 0xE122
#define ID_EDIT_CUT 0xE123
#define ID_EDIT_FIND 0xE124
#define ID_EDIT_PASTE 0xE125
#define ID_EDIT_UNDO 0xE12B
#define ID_APP_EXIT 0xE141
#define ID_NEXT_PANE 0xE150
#define ID_PREV_PANE 0xE151

// String resource that holds the application title.
#define AFX_IDS_APP_TITLE 0xE000

// Sent by a frame to every window below it once the client area is complete:
// wParam 0, lParam 0. Views run OnInitialUpdate on it.
#define WM_INITIALUPDATE 0x0364
