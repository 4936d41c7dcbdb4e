// The 编辑 commands that act on the message table: 复制 of the selected
// message and 转到日期.
#pragma once

#include <windows.h>

class CChatContentTitle;

namespace viewer {

// Puts the selected message on the clipboard as Unicode text: "sender date
// time" as the table shows them, a line end, then its whole text with CR LF
// line ends. False, and the clipboard untouched, when no row is selected.
bool CopySelectedMessage(const CChatContentTitle& messages, HWND owner);

// Asks for a day (starting on the selected row's, or today) and selects
// the first row of it in the order shown, else the row nearest in time.
void GoToDate(CChatContentTitle& messages, HWND owner);

} // namespace viewer
