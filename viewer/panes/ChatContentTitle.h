// CChatContentTitle: the message list pane (form 131). A table of the
// selected friend's messages (sender, date, time, content) with two order
// buttons and a filter box under it. Rows are record positions in the
// friend's mapped chat log; the table is a virtual list whose cells are
// made when the control asks for them, so a million messages list at once.
#pragma once

#include "Button.h"
#include "CJFlatComboBox.h"
#include "ChatLogFile.h"
#include "FormView.h"
#include "GdiObject.h"
#include "ListCtrl.h"
#include "MessageIndex.h"

#include <string>

class CChatContentTitle : public CFormView {
public:
    static constexpr const char* kClassName = "CChatContentTitle";

    CChatContentTitle();

    // Lists the messages of log (borrowed; its view must stay mapped while
    // it is listed), or none for null. Always starts from an empty table.
    void LoadMessages(CChatLogFile* log);
    // Empties the table, forgets the log and empties the content pane.
    void ClearMessages();

    int32_t GetSortOrder() const { return m_sortOrder; }
    int32_t GetMessageFilter() const { return m_messageFilter; }
    CChatLogFile* GetCurrentLog() const { return m_currentLog; }
    // The record shown at a row, or null (what the original kept as item data).
    const unsigned char* RecordAtRow(int row) const;
    // The rows listed now, in file order, with the order they are shown in.
    const CMessageIndex& Rows() const { return m_rows; }
    // Where the listed log's view ends (null with none listed), and a listed
    // record's length read once and held to it: the client may rewrite the
    // log while it is shown, so no reader trusts a length read earlier.
    const unsigned char* ViewEnd() const {
        return m_currentLog ? m_currentLog->ViewEnd() : nullptr;
    }
    std::uint16_t RecordLength(const unsigned char* record) const {
        return chatlog::RecordLengthWithin(record, ViewEnd());
    }
    // The selected row, or -1.
    int SelectedRow() const;
    // Selects and focuses row as a click does (the content pane shows its
    // text through kViewerMsgShowMessageText) and scrolls it into view; the
    // keyboard focus stays where it is.
    void SelectRow(int row);
    HWND TableWindow() const { return m_messageList.m_hWnd; }
    // Whether text is the one the pane is handing to the main window with
    // kViewerMsgShowMessageText right now. That message is only ever sent, never posted,
    // so outside that call no text counts as the pane's: the frame refuses
    // any other pointer a kViewerMsgShowMessageText may carry. Compares addresses only.
    bool IsHandingOver(const char* text) const { return text != nullptr && text == m_handedText; }

    void OnInitialUpdate() override;

protected:
    int OnCreate(CREATESTRUCTW* cs) override;
    void OnDestroy() override;
    void DoDataExchange() override;
    void OnSize(UINT type, int cx, int cy) override;
    BOOL OnNotify(int id, NMHDR* header, LRESULT* result) override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;

private:
    void ReplaceListWithVirtualList();
    void ClearTable(bool releaseRows);
    void OnSelectionChanged();
    void FillCell(NMLVDISPINFOW* info);
    int FindRowBySender(const NMLVFINDITEMW* find) const;
    void SendMessageText(const char* text);
    void SetOrder(int32_t order);
    // An order or filter switch on the log listed now.
    void RelistCurrentLog(bool orderOnly);
    void DropSelection();
    void ShowRowCount();

    CFont m_listFont;
    int32_t m_sortOrder = 0;
    int32_t m_messageFilter = 0;
    CChatLogFile* m_currentLog = nullptr;
    CCJFlatComboBox m_filterCombo;
    CListCtrl m_messageList;
    CButton m_ascendingButton;
    CButton m_descendingButton;

    CMessageIndex m_rows;
    // A record whose text lacks its NUL is handed on as a terminated copy;
    // it lives until the next selection or clear.
    std::string m_unterminatedText;
    // The text inside the pending kViewerMsgShowMessageText, null between sends.
    const char* m_handedText = nullptr;
};
