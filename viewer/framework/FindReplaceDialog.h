// The system's modeless Find dialog (common dialog FindTextW). It reports to
// its owner with the registered message GetFindReplaceMsg(), lParam the
// dialog's FINDREPLACEW; the object is bound to the dialog's window so that
// the message loop gives it the dialog's keys (IsDialogMessage).
#pragma once

#include "Wnd.h"

#include <commdlg.h>
#include <dlgs.h>

#include <string>

class CFindReplaceDialog : public CWnd {
public:
    // The field's room, its terminating NUL included: 255 characters.
    static constexpr int kFindTextSize = 256;

    CFindReplaceDialog() = default;
    // The dialog reads its text and flags from this object while it is open.
    ~CFindReplaceDialog() override;

    // Opens the dialog owned by `owner` with the given text (cut to what the
    // field holds) and FR_* flags. FALSE when one is open already or the
    // system refuses.
    BOOL Create(HWND owner, const std::wstring& findWhat, DWORD flags);

    // The message the dialog sends its owner; lParam is its FINDREPLACEW.
    static UINT GetFindReplaceMsg();
    // Whether lParam of that message is this open dialog's own record. Any
    // program can send the message with any number: it is compared, never
    // read through.
    bool IsOwnRecord(LPARAM lParam) const {
        return IsWindow() && lParam == reinterpret_cast<LPARAM>(&m_fr);
    }

    // The text in the dialog's field while it is open, else the last one.
    std::wstring GetFindString() const;
    bool SearchDown() const { return (m_fr.Flags & FR_DOWN) != 0; }
    bool MatchCase() const { return (m_fr.Flags & FR_MATCHCASE) != 0; }
    bool FindNext() const { return (m_fr.Flags & FR_FINDNEXT) != 0; }
    // The dialog is closing: its window goes once the owner has answered.
    bool IsTerminating() const { return (m_fr.Flags & FR_DIALOGTERM) != 0; }

    BOOL PreTranslateMessage(MSG* msg) override;

private:
    FINDREPLACEW m_fr = {};
    wchar_t m_findWhat[kFindTextSize] = {};
};
