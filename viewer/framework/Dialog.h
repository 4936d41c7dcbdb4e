// CDialog: a dialog on a template, bound to its object like any CWnd. The
// one pattern the viewer's dialogs follow, modal (DoModal) or modeless
// (Create): WM_INITDIALOG reaches OnInitDialog, OK and Cancel reach OnOK and
// OnCancel, every other message the usual handlers.
#pragma once

#include "Wnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId) : m_templateId(templateId) {}
    ~CDialog() override;

    // Runs the dialog owned by `owner` until EndDialog; its result (IDOK,
    // IDCANCEL, ...), or -1 when the dialog could not be made.
    INT_PTR DoModal(HWND owner);
    // Makes the dialog modeless and hidden, owned by `owner`; true when it
    // exists (also when it did already).
    bool Create(HWND owner);
    bool IsModal() const { return m_modal; }

    // Ends a modal dialog with `result`; hides a modeless one.
    void EndDialog(INT_PTR result);

    // Tab, Enter, Escape and the mnemonics of a modeless dialog.
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    // The controls exist; TRUE lets the dialog manager place the focus.
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND, UINT message, WPARAM, LPARAM);
    UINT m_templateId;
    bool m_modal = false;
};
