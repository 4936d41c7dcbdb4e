#include "View.h"

BOOL CView::Create(CWnd* parent, UINT id, DWORD style, const RECT& rect, CCreateContext* context) {
    m_pDocument = context ? context->m_pCurrentDoc : nullptr;
    return CWnd::Create(parent, id, style, rect, context);
}

LRESULT CView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITIALUPDATE) {
        OnInitialUpdate();
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
