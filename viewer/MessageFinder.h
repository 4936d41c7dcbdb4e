// CMessageFinder: 查找, 查找下一个 and 查找上一个 over the message table.
// It owns the system's Find dialog and keeps the last text and options for
// F3, Shift+F3 and the dialog's next opening.
#pragma once

#include "ChatLogSearch.h"
#include "FindReplaceDialog.h"

#include <string>

class CChatContentTitle;
class CContentOutput;
class CPaneHost;

class CMessageFinder {
public:
    // Opens the Find dialog owned by the frame with the last text and
    // options, or brings the open one forward.
    void OpenDialog(HWND owner);
    // The dialog's report (its registered message, lParam as sent). False,
    // with nothing read or done, when lParam is not the open dialog's own
    // record.
    // The panes are asked of the host at each call (either may be missing).
    bool OnFindReplace(LPARAM lParam, CPaneHost& host);
    // F3 (down) and Shift+F3 (up) with the last text; with none yet, opens
    // the dialog instead.
    void FindAgain(bool down, CPaneHost& host);

private:
    void Find(bool down, CPaneHost& host);
    void ReportNotFound(HWND owner) const;

    CFindReplaceDialog m_dialog;
    std::wstring m_text;
    bool m_matchCase = false;
    bool m_down = true;
};

namespace viewer {

// Selects the first match of `search` in the record's text, shown in the
// content pane; `length` is the record's length as read once by the caller.
void SelectMatchInContent(CContentOutput& content, const chatlog::CTextSearch& search,
                          chatlog::ChatLogRecordPos record, std::uint16_t length);

} // namespace viewer
