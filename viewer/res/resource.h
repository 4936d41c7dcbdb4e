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

// Controls on the forms.
#define IDC_FRIEND_TREE 1000
#define IDC_MESSAGE_LIST 1001
#define IDC_MESSAGE_EDIT 1002
#define IDC_SORT_ASCENDING 1003
#define IDC_SORT_DESCENDING 1004
#define IDC_MESSAGE_FILTER 1005

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
