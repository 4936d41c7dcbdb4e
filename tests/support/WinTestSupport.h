// What Windows test programs keep needing: a message pump, a condition poll,
// readers of list view and tree view controls (their own messages, so they
// work on any window of this process or another of the same word size), and
// the build outputs beside the test program.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

// Dispatches every message waiting for this thread's windows.
void PumpMessages();

// Asks `condition` every `pollMs` until it holds (true) or `timeoutMs` has
// passed (false, after one last look); pumps no messages.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs = 50);

int ListRowCount(HWND list);
// Selects and focuses `row` of a list control, as a click does.
void SelectListRow(HWND list, int row);
std::wstring ListCellText(HWND list, int row, int column);
// One column, every row, top to bottom.
std::vector<std::wstring> ListColumnTexts(HWND list, int column);

int TreeItemCount(HWND tree);
// Labels of the children of `parent` (TVI_ROOT: the top-level items), in order.
std::vector<std::wstring> TreeChildTexts(HWND tree, HTREEITEM parent);

// The folder of this test program, and a build output given relative to it
// ('/' or '\\'), both as Windows paths.
std::string TestProgramFolder();
std::string BuildOutput(const char* relativePath);
