#include "FindReplaceDialog.h"

#include <algorithm>

CFindReplaceDialog::~CFindReplaceDialog() {
    if (IsWindow()) {
        DestroyWindow();
    }
}

BOOL CFindReplaceDialog::Create(HWND owner, const std::wstring& findWhat, DWORD flags) {
    if (IsWindow()) {
        return FALSE;
    }
    const size_t length = std::min(findWhat.size(), static_cast<size_t>(kFindTextSize - 1));
    std::copy_n(findWhat.data(), length, m_findWhat);
    m_findWhat[length] = L'\0';
    m_fr = {};
    m_fr.lStructSize = sizeof(m_fr);
    m_fr.hwndOwner = owner;
    m_fr.hInstance = AfxGetInstanceHandle();
    m_fr.Flags = flags;
    m_fr.lpstrFindWhat = m_findWhat;
    m_fr.wFindWhatLen = kFindTextSize;
    HWND dialog = ::FindTextW(&m_fr);
    if (dialog == nullptr || !SubclassWindow(dialog)) {
        return FALSE;
    }
    // Some implementations pass the text through the ANSI code page on its
    // way into the field and back, which loses what that page cannot hold;
    // the field itself is read and written in UTF-16.
    ::SetDlgItemTextW(dialog, edt1, m_findWhat);
    // Typing and pasting stop where the record's buffer ends, rather than
    // the text being cut silently when it is read back.
    ::SendDlgItemMessageW(dialog, edt1, EM_LIMITTEXT, kFindTextSize - 1, 0);
    return TRUE;
}

std::wstring CFindReplaceDialog::GetFindString() const {
    if (!IsWindow()) {
        return m_findWhat;
    }
    wchar_t text[kFindTextSize] = {};
    ::GetDlgItemTextW(m_hWnd, edt1, text, kFindTextSize);
    return text;
}

UINT CFindReplaceDialog::GetFindReplaceMsg() {
    static const UINT message = ::RegisterWindowMessageW(FINDMSGSTRINGW);
    return message;
}

BOOL CFindReplaceDialog::PreTranslateMessage(MSG* msg) {
    // A modeless dialog gets Tab, Enter, Escape and mnemonics only when the
    // loop hands its messages to the dialog manager.
    return ::IsDialogMessageW(m_hWnd, msg);
}
