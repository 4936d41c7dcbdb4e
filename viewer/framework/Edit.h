// Edit control wrapper: one method, one message.
#pragma once

#include "Wnd.h"

class CEdit : public CWnd {
public:
    BOOL SetReadOnly(BOOL readOnly = TRUE) {
        return static_cast<BOOL>(SendMessage(EM_SETREADONLY, readOnly));
    }
};
