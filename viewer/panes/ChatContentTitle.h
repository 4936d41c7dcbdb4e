// CChatContentTitle: the message list pane. This is the plain first version:
// one row per record of the selected friend's log, in file order, with the
// sender and the text; selecting a row has the main frame show the text. The
// order buttons and the filter box of its form are not wired up yet.
#pragma once

#include <string>

#include "ChatLogFile.h"
#include "viewer/framework/FormView.h"
#include "viewer/framework/ListCtrl.h"

class CChatContentTitle : public CFormView {
public:
    static constexpr char kClassName[] = "CChatContentTitle";

    CChatContentTitle();
    ~CChatContentTitle() override;

    // Lists the log's messages (none for null); the log is borrowed.
    void LoadMessages(CChatLogFile* log);
    // Empties the table, forgets the log and empties the content pane.
    void ClearMessages();

    CChatLogFile* GetCurrentLog() const { return m_currentLog; }

protected:
    void DoDataExchange() override;
    void OnInitialUpdate() override;
    void OnSize(UINT type, int cx, int cy) override;
    BOOL OnNotify(int id, NMHDR* header, LRESULT* result) override;

private:
    void SendMessageText(const char* text);

    CChatLogFile* m_currentLog = nullptr;
    CListCtrl m_messageList;
    // The text last handed to the content pane: a copy, so that a record
    // whose text lacks its NUL is never read past its end.
    std::string m_shownText;
};
