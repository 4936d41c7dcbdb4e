// CMessageFinder: 查找, 查找下一个 and 查找上一个 over the message table.
// It owns the system's Find dialog and keeps the last text and options for
// F3, Shift+F3 and the dialog's next opening.
#pragma once

#include "ChatLogSearch.h"
#include "FindReplaceDialog.h"

#include <string>

class CChatContentTitle;
class CContentOutput;

class CMessageFinder {
public:
    // The panes a find acts on, looked up by the frame at each call (either
    // may be null); `owner` is the frame.
    struct Panes {
        CChatContentTitle* messages;
        CContentOutput* content;
        HWND owner;
    };

    // Opens the Find dialog owned by the frame with the last text and
    // options, or brings the open one forward.
    void OpenDialog(HWND owner);
    // The dialog's report (its registered message, lParam as sent). False,
    // with nothing read or done, when lParam is not the open dialog's own
    // record.
    bool OnFindReplace(LPARAM lParam, const Panes& panes);
    // F3 (down) and Shift+F3 (up) with the last text; with none yet, opens
    // the dialog instead.
    void FindAgain(bool down, const Panes& panes);

private:
    void Find(bool down, const Panes& panes);
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
                          ChatLogRecordPos record, std::uint16_t length);

} // namespace viewer
