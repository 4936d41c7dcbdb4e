#include "viewer/panes/ChatContentTitle.h"

#include "viewer/ViewerMessages.h"
#include "viewer/framework/TextConvert.h"
#include "viewer/framework/WinApp.h"
#include "viewer/res/resource.h"

CChatContentTitle::CChatContentTitle() : CFormView(IDD_MESSAGE_LIST) {}

CChatContentTitle::~CChatContentTitle() {
    DestroyWindow();
}

void CChatContentTitle::DoDataExchange() {
    DDX_Control(IDC_MESSAGE_LIST, m_messageList);
}

void CChatContentTitle::OnInitialUpdate() {
    CFormView::OnInitialUpdate();
    m_messageList.SetExtendedStyle(m_messageList.GetExtendedStyle() | LVS_EX_GRIDLINES |
                                   LVS_EX_FULLROWSELECT);
    m_messageList.InsertColumn(0, L"\u53d1\u9001\u4eba", LVCFMT_LEFT, 120, 0); // 发送人
    m_messageList.InsertColumn(1, L"\u5185\u5bb9", LVCFMT_LEFT, 400, 1);       // 内容
}

void CChatContentTitle::OnSize(UINT type, int cx, int cy) {
    CFormView::OnSize(type, cx, cy);
    if (!m_messageList.IsWindow())
        return;
    RECT client = GetClientRect();
    m_messageList.SetWindowPos(nullptr, 0, 0, client.right, client.bottom,
                               SWP_NOZORDER | SWP_NOACTIVATE);
}

void CChatContentTitle::SendMessageText(const char* text) {
    if (CWnd* main = AfxGetMainWnd())
        main->SendMessage(kViewerMsgShowMessageText, reinterpret_cast<WPARAM>(text), 0);
}

void CChatContentTitle::ClearMessages() {
    m_currentLog = nullptr;
    if (!m_messageList.IsWindow())
        return;
    m_messageList.DeleteAllItems();
    SendMessageText(nullptr);
}

void CChatContentTitle::LoadMessages(CChatLogFile* log) {
    ClearMessages();
    m_currentLog = log;
    if (log == nullptr || !m_messageList.IsWindow())
        return;
    ChatLogRecordIndex index;
    log->EnumRecords(index);
    int row = 0;
    for (ChatLogRecordPos record : index) {
        std::string_view sender = log->SenderName(record);
        std::string_view content = RecordContent(record);
        m_messageList.InsertItem(row, WideFromGbk(sender.data(), sender.size()).c_str(),
                                 reinterpret_cast<LPARAM>(record));
        m_messageList.SetItemText(row, 1, WideFromGbk(content.data(), content.size()).c_str());
        ++row;
    }
}

BOOL CChatContentTitle::OnNotify(int id, NMHDR* header, LRESULT* result) {
    if (id != IDC_MESSAGE_LIST || header->code != LVN_ITEMCHANGED)
        return CFormView::OnNotify(id, header, result);
    *result = 0;
    int selected = m_messageList.GetNextItem(-1, LVNI_SELECTED);
    if (selected < 0) {
        SendMessageText(nullptr);
        return TRUE;
    }
    auto record = reinterpret_cast<ChatLogRecordPos>(m_messageList.GetItemData(selected));
    if (record == nullptr)
        return TRUE;
    m_shownText.assign(RecordContent(record));
    SendMessageText(m_shownText.c_str());
    return TRUE;
}
