#include "viewer/framework/FormView.h"

BOOL CFormView::Create(CWnd* parent, UINT id, DWORD style, const RECT& rect,
                       CCreateContext* context) {
    if (m_hWnd != nullptr || parent == nullptr)
        return FALSE;
    m_pDocument = context ? context->m_pCurrentDoc : nullptr;
    HINSTANCE instance = AfxGetInstanceHandle();
    HRSRC resource = ::FindResourceW(instance, MAKEINTRESOURCEW(m_templateId), RT_DIALOG);
    HGLOBAL loaded = resource ? ::LoadResource(instance, resource) : nullptr;
    auto* dialogTemplate = loaded ? static_cast<LPCDLGTEMPLATEW>(::LockResource(loaded)) : nullptr;
    if (dialogTemplate == nullptr)
        return FALSE;

    HWND hWnd;
    {
        CWndHook hook(this, true);
        hWnd = ::CreateDialogIndirectParamW(instance, dialogTemplate, parent->m_hWnd,
                                            &CFormView::FormDialogProc, 0);
    }
    if (hWnd == nullptr || m_hWnd != hWnd) {
        if (hWnd != nullptr)
            ::DestroyWindow(hWnd);
        return FALSE;
    }
    ::SetWindowLongPtrW(hWnd, GWLP_ID, static_cast<LONG_PTR>(id));
    // The template's place and size give way to the caller's.
    ::SetWindowPos(hWnd, nullptr, rect.left, rect.top, rect.right - rect.left,
                   rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (style & WS_VISIBLE)
        ::ShowWindow(hWnd, SW_SHOWNA);
    return TRUE;
}

INT_PTR CALLBACK CFormView::FormDialogProc(HWND, UINT, WPARAM, LPARAM) {
    // Everything a form does is done in its window procedure; the dialog
    // manager's default handling covers the rest. FALSE also keeps the focus
    // where it is when the form is made.
    return FALSE;
}

void CFormView::OnInitialUpdate() {
    if (!m_dataBound) {
        m_dataBound = true;
        DoDataExchange();
    }
}

void CFormView::DDX_Control(int id, CWnd& control) {
    if (control.m_hWnd == nullptr)
        control.SubclassWindow(GetDlgItem(id));
}

BOOL CFormView::PreTranslateMessage(MSG* msg) {
    // Tab moves between the form's own controls.
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_TAB)
        return ::IsDialogMessageW(m_hWnd, msg);
    return FALSE;
}

LRESULT CFormView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITIALUPDATE) {
        OnInitialUpdate();
        // The controls are bound only now: let the form place them.
        RECT client = GetClientRect();
        SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
        return 0;
    }
    return CView::WindowProc(message, wParam, lParam);
}
