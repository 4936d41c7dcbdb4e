#include "Dialog.h"

CDialog::~CDialog() {
    DestroyWindow();
}

INT_PTR CDialog::DoModal(HWND owner) {
    if (m_hWnd != nullptr)
        return -1;
    m_modal = true;
    INT_PTR result;
    {
        CWndHook hook(this, true);
        result = ::DialogBoxParamW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(m_templateId), owner,
                                   &CDialog::DialogProc, 0);
    }
    m_modal = false;
    return result;
}

bool CDialog::Create(HWND owner) {
    if (m_hWnd != nullptr)
        return true;
    HWND hWnd;
    {
        CWndHook hook(this, true);
        hWnd = ::CreateDialogParamW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(m_templateId), owner,
                                    &CDialog::DialogProc, 0);
    }
    if (hWnd == nullptr || m_hWnd != hWnd) {
        if (hWnd != nullptr)
            ::DestroyWindow(hWnd);
        return false;
    }
    return true;
}

void CDialog::EndDialog(INT_PTR result) {
    if (m_hWnd == nullptr)
        return;
    if (m_modal)
        ::EndDialog(m_hWnd, result);
    else
        ShowWindow(SW_HIDE);
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    // A modal dialog's own loop does this already.
    return !m_modal && ::IsDialogMessageW(m_hWnd, msg);
}

BOOL CDialog::OnCommand(UINT id, UINT code, HWND control) {
    // Buttons report BN_CLICKED; Enter and Escape come without a control.
    if (control != nullptr && code != BN_CLICKED)
        return CWnd::OnCommand(id, code, control);
    if (id == IDOK) {
        OnOK();
        return TRUE;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return TRUE;
    }
    return CWnd::OnCommand(id, code, control);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG)
        return OnInitDialog();
    return CWnd::WindowProc(message, wParam, lParam);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND, UINT message, WPARAM, LPARAM) {
    // The bound object's window procedure has seen every message first.
    return message == WM_INITDIALOG ? TRUE : FALSE;
}
