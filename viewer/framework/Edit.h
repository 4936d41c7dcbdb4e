// Edit control wrapper: one method, one message.
#pragma once

#include "Wnd.h"

class CEdit : public CWnd {
public:
    BOOL SetReadOnly(BOOL readOnly = TRUE) {
        return static_cast<BOOL>(SendMessage(EM_SETREADONLY, readOnly));
    }
    // Characters start to end (UTF-16 units; end not included).
    void SetSel(int start, int end) { SendMessage(EM_SETSEL, start, end); }
    // Scrolls the caret (the selection's end) into view.
    void ScrollCaret() { SendMessage(EM_SCROLLCARET); }
};
