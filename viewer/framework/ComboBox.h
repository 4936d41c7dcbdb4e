// Combo box wrapper: one method, one message.
#pragma once

#include "Wnd.h"

#include <string>

class CComboBox : public CWnd {
public:
    int AddString(LPCWSTR text) {
        return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    }
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int index) { return static_cast<int>(SendMessage(CB_SETCURSEL, index)); }
    std::wstring GetLBText(int index) const {
        int length = static_cast<int>(SendMessage(CB_GETLBTEXTLEN, index));
        if (length < 0)
            return {};
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        SendMessage(CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(length));
        return text;
    }
    int SelectString(int startAfter, LPCWSTR text) {
        return static_cast<int>(SendMessage(CB_SELECTSTRING, static_cast<WPARAM>(startAfter),
                                            reinterpret_cast<LPARAM>(text)));
    }
    // Start in the low word, end in the high word; all bits set when the
    // control has no edit field.
    DWORD GetEditSel() const { return static_cast<DWORD>(SendMessage(CB_GETEDITSEL)); }
    BOOL SetEditSel(int start, int end) {
        return static_cast<BOOL>(SendMessage(CB_SETEDITSEL, 0, MAKELPARAM(start, end)));
    }
};
