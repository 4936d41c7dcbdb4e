// Resource ids of the viewer. Plain macros: the resource compiler reads this
// file too.
#pragma once

#include "FrameworkIds.h"

// Menu, accelerators, main icon and template string of the main frame.
#define IDR_MAINFRAME 128
// A second icon group, in the resources but not used.
#define IDI_CORVELLE 129
// Form templates of the three panes.
#define IDD_FRIEND_LIST 130
#define IDD_MESSAGE_LIST 131
#define IDD_MESSAGE_CONTENT 132
// The friend list's picture (15 x 17).
#define IDB_FRIEND 133

// Dialogs of the 编辑 menu: find in every friend's log, go to a date.
#define IDD_FIND_ALL_FRIENDS 140
#define IDD_GOTO_DATE 141
// The export dialog of the 文件 menu and the window that follows its run.
#define IDD_EXPORT 142
#define IDD_EXPORT_PROGRESS 143

// Controls on the forms.
#define IDC_FRIEND_TREE 1000
#define IDC_MESSAGE_LIST 1001
#define IDC_MESSAGE_EDIT 1002
#define IDC_SORT_ASCENDING 1003
#define IDC_SORT_DESCENDING 1004
#define IDC_MESSAGE_FILTER 1005
// Controls of the find-in-every-friend window and of the go-to-date dialog.
#define IDC_FIND_ALL_TEXT 1010
#define IDC_FIND_ALL_MATCH_CASE 1011
#define IDC_FIND_ALL_START 1012
#define IDC_FIND_ALL_RESULTS 1013
#define IDC_FIND_ALL_COUNT 1014
#define IDC_GOTO_DATE_PICKER 1020
// Controls of the export dialog and of its progress window.
#define IDC_EXPORT_CURRENT 1030
#define IDC_EXPORT_ALL 1031
#define IDC_EXPORT_FORMAT 1032
#define IDC_EXPORT_MONTH_PAGES 1033
#define IDC_EXPORT_ALL_DATES 1034
#define IDC_EXPORT_DATE_RANGE 1035
#define IDC_EXPORT_FROM 1036
#define IDC_EXPORT_TO 1037
#define IDC_EXPORT_SHOWN_ORDER 1038
#define IDC_EXPORT_TARGET 1039
#define IDC_EXPORT_BROWSE 1040
#define IDC_EXPORT_BAR 1041
#define IDC_EXPORT_FRIEND 1042
#define IDC_EXPORT_COUNT 1043

// Commands of the 编辑 menu beyond the class library's (find and copy are
// its ID_EDIT_FIND and ID_EDIT_COPY).
#define ID_EDIT_FIND_NEXT 0x8001
#define ID_EDIT_FIND_PREVIOUS 0x8002
#define ID_EDIT_FIND_ALL_FRIENDS 0x8003
#define ID_EDIT_GOTO_DATE 0x8004
// Commands of the 文件 menu above 退出: open a folder of chat logs, export.
// Ctrl+O stays the class library's open command.
#define ID_FILE_OPEN_CHATLOG 0x8010
#define ID_FILE_EXPORT_CHATLOG 0x8011

// String of the idle prompt (not shown: there is no status bar).
#define AFX_IDS_IDLEMESSAGE 0xE001

// The standard print command: a button of the toolbar resource only.
#define ID_FILE_PRINT 0xE107
// Status bar indicator strings (in the string table; there is no status bar).
#define ID_INDICATOR_EXT 0xE700
#define ID_INDICATOR_CAPS 0xE701
#define ID_INDICATOR_NUM 0xE702
#define ID_INDICATOR_SCRL 0xE703
#define ID_INDICATOR_OVR 0xE704
#define ID_INDICATOR_REC 0xE705
