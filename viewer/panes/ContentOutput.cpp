#include "ContentOutput.h"

#include "TextConvert.h"
#include "ViewerMessages.h"
#include "resource.h"

namespace {
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
} // namespace

CContentOutput::CContentOutput() : CFormView(IDD_MESSAGE_CONTENT) {}

void CContentOutput::DoDataExchange() {
    DDX_Control(IDC_MESSAGE_EDIT, m_messageEdit);
}

void CContentOutput::OnInitialUpdate() {
    CFormView::OnInitialUpdate();
    m_backgroundBrush.DeleteObject();
    m_backgroundBrush.CreateSolidBrush(kWhite);
    if (m_messageEdit.IsWindow()) {
        m_messageEdit.SetReadOnly(TRUE);
    }
}

void CContentOutput::SetMessageText(const char* text) {
    if (!m_messageEdit.IsWindow()) {
        return;
    }
    // GBK becomes UTF-16 here, where it enters the control, so Chinese shows
    // on any Windows locale.
    m_messageEdit.SetWindowText(text != nullptr ? WideFromGbk(text).c_str() : L"");
}

void CContentOutput::ClearMessageText() {
    if (m_messageEdit.IsWindow()) {
        m_messageEdit.SetWindowText(L"");
    }
}

void CContentOutput::SelectText(int start, int end) {
    if (!m_messageEdit.IsWindow()) {
        return;
    }
    // The caret goes to the start last, so a match wider than the pane
    // shows from its beginning.
    m_messageEdit.SetSel(end, start);
    m_messageEdit.ScrollCaret();
}

void CContentOutput::OnSize(UINT type, int cx, int cy) {
    CFormView::OnSize(type, cx, cy);
    ShowWindow(SW_SHOWMAXIMIZED);
    if (!m_messageEdit.IsWindow()) {
        return;
    }
    const RECT client = GetClientRect();
    m_messageEdit.SetWindowPos(nullptr, 0, 0, client.right, client.bottom,
                               SWP_NOZORDER | SWP_NOACTIVATE);
}

HBRUSH CContentOutput::OnCtlColor(HDC dc, HWND control, UINT ctlType) {
    // A read-only edit asks as a static control and would get the system's
    // grey; whatever it asks as, it is drawn black on white.
    if (control != nullptr && control == m_messageEdit.m_hWnd &&
        m_backgroundBrush.GetSafeHandle() != nullptr) {
        ::SetTextColor(dc, kBlack);
        ::SetBkColor(dc, kWhite);
        return m_backgroundBrush;
    }
    return CFormView::OnCtlColor(dc, control, ctlType);
}
