// Button wrapper (push, check and radio buttons): one method, one message.
#pragma once

#include "Wnd.h"

class CButton : public CWnd {
public:
    void SetCheck(int check) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
    // As if the user clicked it: the parent gets BN_CLICKED.
    void Click() { SendMessage(BM_CLICK); }
};
