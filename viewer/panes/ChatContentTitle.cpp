#include "ChatContentTitle.h"

#include "MessageFind.h"
#include "TextConvert.h"
#include "ViewerMessages.h"
#include "WinApp.h"
#include "resource.h"

#include <algorithm>

namespace {

struct ColumnSpec {
    const wchar_t* title;
    int width;
};
const ColumnSpec kColumns[] = {
    {L"发送人", 120},
    {L"日期", 90},
    {L"时间", 90},
    {L"内容", 200},
};

const wchar_t* const kFilterEntries[] = {L"所有信息", L"发出信息", L"收到信息"};

// Copies text into the control's cell buffer, cut to fit it.
void CopyCell(NMLVDISPINFOW* info, const std::wstring& text) {
    if (info->item.pszText == nullptr || info->item.cchTextMax <= 0) {
        return;
    }
    const size_t room = static_cast<size_t>(info->item.cchTextMax) - 1;
    const size_t n = std::min(room, text.size());
    std::copy_n(text.data(), n, info->item.pszText);
    info->item.pszText[n] = L'\0';
}

} // namespace

CChatContentTitle::CChatContentTitle() : CFormView(IDD_MESSAGE_LIST) {}

int CChatContentTitle::OnCreate(CREATESTRUCTW* cs) {
    if (CFormView::OnCreate(cs) == -1) {
        return -1;
    }
    // 宋体 at 13 pixels, GB2312 charset, TrueType only.
    m_listFont.CreateFont(13, 0, 0, 0, 500, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_TT_ONLY_PRECIS,
                          CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FF_MODERN | DEFAULT_PITCH, L"宋体");
    return 0;
}

void CChatContentTitle::OnDestroy() {
    // The table goes with the form; it must not ask for cells of rows whose
    // log may already be gone.
    m_rows.Release();
    m_currentLog = nullptr;
    CFormView::OnDestroy();
    m_listFont.DeleteObject();
}

void CChatContentTitle::ReplaceListWithVirtualList() {
    // The template's table keeps one item per row, which is far too slow to
    // fill for big logs. The same control with LVS_OWNERDATA holds only a
    // row count and asks for cell texts as it draws them; that style can
    // only be given at creation, so the control is made again in place, with
    // the template's styles, id, place and tab position.
    HWND old = GetDlgItem(IDC_MESSAGE_LIST);
    if (old == nullptr || (::GetWindowLongPtrW(old, GWL_STYLE) & LVS_OWNERDATA) != 0) {
        return;
    }
    RECT r{};
    ::GetWindowRect(old, &r);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(old, GWL_STYLE)) | LVS_OWNERDATA;
    const DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(old, GWL_EXSTYLE));
    HWND created = ::CreateWindowExW(
        exStyle, WC_LISTVIEWW, L"", style, r.left, r.top, r.right - r.left, r.bottom - r.top,
        m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_MESSAGE_LIST)),
        AfxGetInstanceHandle(), nullptr);
    if (created == nullptr) {
        return; // keep the template's table: slower, but it still works
    }
    ::SetWindowPos(created, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::DestroyWindow(old);
}

void CChatContentTitle::DoDataExchange() {
    ReplaceListWithVirtualList();
    DDX_Control(IDC_MESSAGE_FILTER, m_filterCombo);
    DDX_Control(IDC_MESSAGE_LIST, m_messageList);
    DDX_Control(IDC_SORT_ASCENDING, m_ascendingButton);
    DDX_Control(IDC_SORT_DESCENDING, m_descendingButton);
}

void CChatContentTitle::OnInitialUpdate() {
    CFormView::OnInitialUpdate();
    if (!m_messageList.IsWindow()) {
        return;
    }
    m_messageList.SetExtendedStyle(m_messageList.GetExtendedStyle() | LVS_EX_GRIDLINES |
                                   LVS_EX_FULLROWSELECT);
    m_messageList.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_listFont.GetSafeHandle()),
                              TRUE);
    // A second initial update (the document made anew) must not add the
    // columns and entries twice.
    if (Header_GetItemCount(m_messageList.GetHeaderCtrl()) == 0) {
        for (int i = 0; i < 4; ++i) {
            m_messageList.InsertColumn(i, kColumns[i].title, LVCFMT_LEFT, kColumns[i].width, i);
        }
    }
    m_sortOrder = kOrderAscending;
    m_ascendingButton.SetCheck(BST_CHECKED);
    // The form fills the box from the template's initialisation data; should
    // those be missing, the same entries are put in here, in the same order.
    if (m_filterCombo.GetCount() == 0) {
        for (const wchar_t* entry : kFilterEntries) {
            m_filterCombo.AddString(entry);
        }
    }
    m_filterCombo.SetCurSel(0);
    m_messageFilter = kFilterAll;
}

void CChatContentTitle::OnSize(UINT type, int cx, int cy) {
    CFormView::OnSize(type, cx, cy);
    ShowWindow(SW_SHOWMAXIMIZED);
    if (!m_messageList.IsWindow()) {
        return;
    }
    const RECT client = GetClientRect();
    const RECT asc = m_ascendingButton.GetClientRect();
    const RECT desc = m_descendingButton.GetClientRect();
    const int fixedColumns = m_messageList.GetColumnWidth(0) + m_messageList.GetColumnWidth(1) +
                             m_messageList.GetColumnWidth(2);
    const MessageListLayout l = viewer::ComputeMessageListLayout(
        client.right, client.bottom, asc.right, desc.right, fixedColumns);
    constexpr UINT kPlace = SWP_NOZORDER | SWP_NOACTIVATE;
    m_messageList.SetWindowPos(nullptr, 0, 0, l.tableWidth, l.tableHeight, kPlace);
    m_ascendingButton.SetWindowPos(nullptr, l.ascX, l.ascY, 0, 0, kPlace | SWP_NOSIZE);
    m_descendingButton.SetWindowPos(nullptr, l.descX, l.descY, 0, 0, kPlace | SWP_NOSIZE);
    m_filterCombo.SetWindowPos(nullptr, l.comboX, l.comboY, 0, 0, kPlace | SWP_NOSIZE);
    if (l.fitContent) {
        m_messageList.SetColumnWidth(3, l.contentWidth);
    }
}

void CChatContentTitle::LoadMessages(CChatLogFile* log) {
    // Like ClearMessages, but the rows' room stays for this load.
    ClearTable(false);
    m_currentLog = log;
    if (log == nullptr || !m_messageList.IsWindow()) {
        m_rows.Release();
        return;
    }
    m_rows.Build([log](auto&& visit) { log->VisitDirectedRecords(visit); }, m_messageFilter,
                 m_sortOrder);
    if (m_rows.RowCount() == 0) {
        return;
    }
    // A virtual list: only the count goes in, cells are asked for on drawing.
    ShowRowCount();
}

void CChatContentTitle::ClearMessages() {
    ClearTable(true);
}

void CChatContentTitle::ClearTable(bool releaseRows) {
    m_currentLog = nullptr;
    if (releaseRows) {
        m_rows.Release();
    } else {
        m_rows.Clear();
    }
    m_unterminatedText.clear();
    if (!m_messageList.IsWindow()) {
        return;
    }
    // A virtual table is emptied by its count alone: deleting all items
    // would step through every former row once more.
    DropSelection();
    m_messageList.SendMessage(LVM_SETITEMCOUNT, 0, 0);
    SendMessageText(nullptr);
}

const unsigned char* CChatContentTitle::RecordAtRow(int row) const {
    // No row may outlive the view it points into.
    if (row < 0 || m_currentLog == nullptr || !m_currentLog->IsMapped()) {
        return nullptr;
    }
    return m_rows.RecordAt(static_cast<size_t>(row));
}

void CChatContentTitle::SendMessageText(const char* text) {
    CWnd* main = AfxGetMainWnd();
    if (main == nullptr || !main->IsWindow()) {
        return;
    }
    // Sends may nest (a reset inside the handler sends 0 again): the outer
    // text stays the pane's once the inner send is over.
    const char* outer = m_handedText;
    m_handedText = text;
    ::SendMessageA(main->m_hWnd, kViewerMsgShowMessageText, reinterpret_cast<WPARAM>(text), 0);
    m_handedText = outer;
}

void CChatContentTitle::OnSelectionChanged() {
    CWnd* main = AfxGetMainWnd();
    if (main == nullptr || !main->IsWindow()) {
        return;
    }
    const int row = SelectedRow();
    if (row < 0) {
        SendMessageText(nullptr);
        return;
    }
    const unsigned char* record = RecordAtRow(row);
    if (record == nullptr) {
        return;
    }
    const std::uint16_t length = RecordLength(record);
    const std::string_view text = chatlog::RecordContent(record, length);
    const char* start = reinterpret_cast<const char*>(record) + chatlog::kChatLogRecordFixedSize;
    // The text's NUL normally lies inside the record, and the pointer into the
    // view is passed on as it is. A record without one would let a reader run
    // past the record, so it goes as a terminated copy instead.
    if (length > chatlog::kChatLogRecordFixedSize && text.data() == start &&
        text.size() < length - chatlog::kChatLogRecordFixedSize) {
        SendMessageText(start);
        return;
    }
    m_unterminatedText.assign(text.data(), text.size());
    SendMessageText(m_unterminatedText.c_str());
}

void CChatContentTitle::FillCell(NMLVDISPINFOW* info) {
    const unsigned char* record = RecordAtRow(info->item.iItem);
    if ((info->item.mask & LVIF_PARAM) != 0) {
        info->item.lParam = reinterpret_cast<LPARAM>(record);
    }
    if ((info->item.mask & LVIF_TEXT) == 0) {
        return;
    }
    if (record == nullptr) {
        CopyCell(info, std::wstring());
        return;
    }
    char cell[kTimeCellSize];
    switch (info->item.iSubItem) {
    case 0: {
        const std::string_view sender = m_currentLog->SenderName(record);
        CopyCell(info, WideFromGbk(sender.data(), sender.size()));
        break;
    }
    case 1:
        viewer::FormatRecordDate(chatlog::RecordTime(record), cell);
        CopyCell(info, WideFromGbk(cell, sizeof cell));
        break;
    case 2:
        viewer::FormatRecordTime(chatlog::RecordTime(record), cell);
        CopyCell(info, WideFromGbk(cell, sizeof cell));
        break;
    case 3: {
        // A cell shows at most cchTextMax characters; GBK needs at most two
        // bytes for one, so converting more would only be thrown away.
        const std::string_view text = chatlog::RecordContent(record, RecordLength(record));
        const size_t bytes =
            std::min(text.size(), static_cast<size_t>(std::max(info->item.cchTextMax, 0)) * 2);
        CopyCell(info, WideFromGbk(text.data(), bytes));
        break;
    }
    default:
        CopyCell(info, std::wstring());
        break;
    }
}

BOOL CChatContentTitle::OnNotify(int id, NMHDR* header, LRESULT* result) {
    if (id != IDC_MESSAGE_LIST) {
        return CFormView::OnNotify(id, header, result);
    }
    switch (header->code) {
    case LVN_GETDISPINFOW:
        FillCell(reinterpret_cast<NMLVDISPINFOW*>(header));
        *result = 0;
        return TRUE;
    case LVN_ODFINDITEMW:
        *result = FindRowBySender(reinterpret_cast<NMLVFINDITEMW*>(header));
        return TRUE;
    case LVN_ITEMCHANGED:
    case LVN_ODSTATECHANGED: // a virtual list reports ranges this way
        *result = 0;
        OnSelectionChanged();
        return TRUE;
    default:
        return CFormView::OnNotify(id, header, result);
    }
}

int CChatContentTitle::FindRowBySender(const NMLVFINDITEMW* find) const {
    // Typing in the table jumps to the next row whose sender begins with the
    // typed letters, as in a list that holds its own texts. A row's sender
    // is one of two names, so each name is matched once and the rows only
    // by their direction.
    const LVFINDINFOW& info = find->lvfi;
    const int rows = static_cast<int>(m_rows.RowCount());
    if ((info.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || info.psz == nullptr ||
        m_currentLog == nullptr || rows == 0) {
        return -1;
    }
    const size_t typed = wcslen(info.psz);
    auto matches = [&](std::string_view gbk) {
        const std::wstring name = WideFromGbk(gbk.data(), gbk.size());
        if ((info.flags & LVFI_PARTIAL) != 0 && name.size() >= typed) {
            return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, name.c_str(),
                                    static_cast<int>(typed), info.psz,
                                    static_cast<int>(typed)) == CSTR_EQUAL;
        }
        return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, name.c_str(), -1, info.psz,
                                -1) == CSTR_EQUAL;
    };
    const bool ownerMatches = matches(m_currentLog->OwnerName());
    const bool friendMatches = matches(m_currentLog->FriendName());
    if (!ownerMatches && !friendMatches) {
        return -1;
    }
    const int start = find->iStart >= 0 && find->iStart < rows ? find->iStart : 0;
    const int count = (info.flags & LVFI_WRAP) != 0 ? rows : rows - start;
    for (int i = 0; i < count; ++i) {
        const int row = (start + i) % rows;
        const unsigned char* record = RecordAtRow(row);
        if (record != nullptr && (chatlog::IsSentRecord(record) ? ownerMatches : friendMatches)) {
            return row;
        }
    }
    return -1;
}

void CChatContentTitle::SetOrder(int32_t order) {
    if (m_sortOrder == order) {
        return;
    }
    m_sortOrder = order;
    RelistCurrentLog(true);
}

void CChatContentTitle::RelistCurrentLog(bool orderOnly) {
    if (m_currentLog == nullptr || !m_currentLog->IsMapped() || !m_messageList.IsWindow()) {
        LoadMessages(m_currentLog);
        return;
    }
    // The table looks as after any reload (no selection, the top rows shown,
    // the content pane empty), but the virtual list is not emptied and
    // refilled: resetting it costs more than the walk itself. The selection
    // goes first, while its row still means the old record; then the rows
    // change under the same control and it is told the new count.
    DropSelection();
    m_unterminatedText.clear();
    if (orderOnly) {
        // The same rows read the other way round are the exact reverse: no walk.
        m_rows.SetOrder(m_sortOrder);
    } else {
        CChatLogFile* log = m_currentLog;
        m_rows.Refilter([log](auto&& visit) { log->VisitDirectedRecords(visit); }, m_messageFilter,
                        m_sortOrder);
    }
    ShowRowCount();
    SendMessageText(nullptr);
}

int CChatContentTitle::SelectedRow() const {
    // Asked for the next selected row, the control tests row after row, a
    // million of them in a big log, also when none is selected. It keeps the
    // count of selected rows, though, and in this single-selection table the
    // selected row is nearly always the focused one, which it knows at once.
    if (m_messageList.GetSelectedCount() == 0) {
        return -1;
    }
    const int focused = m_messageList.GetNextItem(-1, LVNI_FOCUSED);
    if (focused >= 0 && (m_messageList.GetItemState(focused, LVIS_SELECTED) & LVIS_SELECTED) != 0) {
        return focused;
    }
    return m_messageList.GetNextItem(-1, LVNI_SELECTED);
}

void CChatContentTitle::SelectRow(int row) {
    if (row < 0 || static_cast<size_t>(row) >= m_rows.RowCount() || !m_messageList.IsWindow()) {
        return;
    }
    if (SelectedRow() != row) {
        DropSelection();
        m_messageList.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        m_messageList.SetSelectionMark(row);
    }
    // A row that a find or a jump lands on stands in the middle of the
    // table, with what came before and after it in sight, rather than on
    // its bottom edge.
    m_messageList.EnsureVisible(row, FALSE);
    HWND list = m_messageList.m_hWnd;
    const int top = ListView_GetTopIndex(list);
    const int perPage = ListView_GetCountPerPage(list);
    RECT item{};
    if (perPage <= 0 || !ListView_GetItemRect(list, top, &item, LVIR_BOUNDS))
        return;
    const auto wanted = static_cast<int>(viewer::CenteredTopRow(
        static_cast<size_t>(row), static_cast<size_t>(perPage), m_rows.RowCount()));
    // Report view scrolls by pixels, a row's height per row.
    if (wanted != top)
        ListView_Scroll(list, 0, (wanted - top) * (item.bottom - item.top));
}

void CChatContentTitle::DropSelection() {
    // A single-selection table has at most one selected and one focused row;
    // clearing just those two is cheap, where "every row" means a million.
    for (int row : {SelectedRow(), m_messageList.GetNextItem(-1, LVNI_FOCUSED)}) {
        if (row >= 0) {
            m_messageList.SetItemState(row, 0, LVIS_SELECTED | LVIS_FOCUSED);
        }
    }
}

void CChatContentTitle::ShowRowCount() {
    // Every row is drawn anew from the rows; the list starts at its top.
    m_messageList.SendMessage(LVM_SETITEMCOUNT, m_rows.RowCount(), 0);
    if (m_rows.RowCount() > 0) {
        m_messageList.SendMessage(LVM_ENSUREVISIBLE, 0, FALSE);
    }
}

BOOL CChatContentTitle::OnCommand(UINT id, UINT code, HWND control) {
    if (id == IDC_SORT_ASCENDING && code == BN_CLICKED) {
        SetOrder(kOrderAscending);
        return TRUE;
    }
    if (id == IDC_SORT_DESCENDING && code == BN_CLICKED) {
        SetOrder(kOrderDescending);
        return TRUE;
    }
    if (id == IDC_MESSAGE_FILTER && code == CBN_SELCHANGE) {
        int32_t filter = 0;
        if (viewer::FilterFromComboIndex(m_filterCombo.GetCurSel(), &filter) &&
            filter != m_messageFilter) {
            m_messageFilter = filter;
            RelistCurrentLog(false);
        }
        return TRUE;
    }
    return CFormView::OnCommand(id, code, control);
}
