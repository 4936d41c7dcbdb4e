#include "viewer/panes/ContentOutput.h"

#include "viewer/framework/TextConvert.h"
#include "viewer/res/resource.h"

CContentOutput::CContentOutput() : CFormView(IDD_MESSAGE_CONTENT) {}

CContentOutput::~CContentOutput() {
    DestroyWindow();
}

void CContentOutput::DoDataExchange() {
    DDX_Control(IDC_MESSAGE_EDIT, m_messageEdit);
}

void CContentOutput::OnInitialUpdate() {
    CFormView::OnInitialUpdate();
    m_messageEdit.SetReadOnly(TRUE);
}

void CContentOutput::OnSize(UINT type, int cx, int cy) {
    CFormView::OnSize(type, cx, cy);
    if (!m_messageEdit.IsWindow())
        return;
    RECT client = GetClientRect();
    m_messageEdit.SetWindowPos(nullptr, 0, 0, client.right, client.bottom,
                               SWP_NOZORDER | SWP_NOACTIVATE);
}

void CContentOutput::SetMessageText(const char* text) {
    if (!m_messageEdit.IsWindow())
        return;
    m_messageEdit.SetWindowText(text ? WideFromGbk(text).c_str() : L"");
}

void CContentOutput::ClearMessageText() {
    if (m_messageEdit.IsWindow())
        m_messageEdit.SetWindowText(L"");
}
