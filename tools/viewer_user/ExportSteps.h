// The user at 导出聊天记录, for the demo: open the dialog and choose, start
// the export and wait for its result, dismiss the result.
#pragma once

#include <windows.h>

#include <string>

namespace viewer_user {

// Ctrl+`key` as the keyboard gives it: the accelerators read the Ctrl key's
// state, which only real input sets, so the keys go in through SendInput to
// the frame brought to the front (waited for, up to a second).
void PressCtrl(HWND frame, WORD key);

// Ctrl+E on the frame; in the dialog 所有好友 and the folder typed into 保存到.
// Returns once the dialog is up and painted.
int OpenExportDialog(HWND frame, const std::wstring& folder);
// Presses 导出 and waits (up to `waitMs`, at least a minute) for the result
// message, which it prints, leaving it open.
int RunExport(HWND frame, long waitMs);
// Answers the result message with 否 (no file manager).
int DismissExportResult(HWND frame);

} // namespace viewer_user
