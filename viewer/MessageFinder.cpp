#include "MessageFinder.h"

#include "ChatContentTitle.h"
#include "ChatLogSearch.h"
#include "ContentOutput.h"
#include "MessageFind.h"
#include "PaneHost.h"
#include "TextConvert.h"
#include "ViewerMessages.h"

void CMessageFinder::OpenDialog(HWND owner) {
    if (m_dialog.IsWindow()) {
        ::SetActiveWindow(m_dialog.m_hWnd);
        return;
    }
    // Whole words are not a notion the search has: that box is hidden.
    DWORD flags = FR_HIDEWHOLEWORD;
    flags |= m_down ? FR_DOWN : 0;
    flags |= m_matchCase ? FR_MATCHCASE : 0;
    m_dialog.Create(owner, m_text, flags);
}

bool CMessageFinder::OnFindReplace(LPARAM lParam, CPaneHost& host) {
    if (!m_dialog.IsOwnRecord(lParam)) {
        return false;
    }
    // Closing: the window goes after this returns; the text stays here.
    if (m_dialog.IsTerminating()) {
        return true;
    }
    m_text = m_dialog.GetFindString();
    m_matchCase = m_dialog.MatchCase();
    m_down = m_dialog.SearchDown();
    if (m_dialog.FindNext()) {
        Find(m_down, host);
    }
    return true;
}

void CMessageFinder::FindAgain(bool down, CPaneHost& host) {
    if (m_text.empty()) {
        OpenDialog(host.HostWindow());
        return;
    }
    Find(down, host);
}

void CMessageFinder::Find(bool down, CPaneHost& host) {
    // Converted once per find; a character GBK cannot hold finds nothing.
    std::string needle;
    chatlog::CTextSearch search;
    if (GbkFromWide(m_text.c_str(), needle)) {
        search = chatlog::CTextSearch(needle, m_matchCase);
    }
    CChatContentTitle* messages = host.GetMessageListPane();
    size_t row = viewer::kNoRow;
    // No row may be read once its view is gone: row 0 answers for them all.
    if (messages != nullptr && messages->RecordAtRow(0) != nullptr) {
        const int selected = messages->SelectedRow();
        row = viewer::FindShownRow(search, messages->Rows(), messages->ViewEnd(),
                                   selected < 0 ? viewer::kNoRow : static_cast<size_t>(selected),
                                   down);
    }
    if (row == viewer::kNoRow) {
        ReportNotFound(host.HostWindow());
        return;
    }
    messages->SelectRow(static_cast<int>(row));
    const unsigned char* record = messages->RecordAtRow(static_cast<int>(row));
    CContentOutput* content = host.GetContentPane();
    if (record != nullptr && content != nullptr)
        viewer::SelectMatchInContent(*content, search, record, messages->RecordLength(record));
}

namespace viewer {

void SelectMatchInContent(CContentOutput& content, const chatlog::CTextSearch& search,
                          chatlog::ChatLogRecordPos record, std::uint16_t length) {
    chatlog::TextMatch match;
    if (!search.FindInRecord(record, length, match))
        return;
    // The pane shows the text converted whole, as UTF-16: the characters
    // before the match and the match's own give its place in the control.
    const std::string_view text = chatlog::RecordContent(record, length);
    if (match.offset > text.size() || match.length > text.size() - match.offset)
        return;
    const int start = static_cast<int>(WideFromGbk(text.data(), match.offset).size());
    const int size = static_cast<int>(WideFromGbk(text.data() + match.offset, match.length).size());
    content.SelectText(start, start + size);
}

} // namespace viewer

void CMessageFinder::ReportNotFound(HWND owner) const {
    // 找不到“…”, over the dialog while it is open, else over the frame.
    const std::wstring message = L"\u627e\u4e0d\u5230\u201c" + m_text + L"\u201d";
    ::MessageBoxW(m_dialog.IsWindow() ? m_dialog.m_hWnd : owner, message.c_str(), kViewerCaption,
                  MB_OK | MB_ICONINFORMATION);
}
