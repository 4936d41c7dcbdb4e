#include "FindAllFriendsWnd.h"

#include "ChatContentTitle.h"
#include "ContentOutput.h"
#include "LogPieces.h"
#include "MessageFinder.h"
#include "MessageListRules.h"
#include "PaneHost.h"
#include "TextConvert.h"
#include "UserTitleWnd.h"
#include "resource.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <new>

namespace {

struct ColumnSpec {
    const wchar_t* title;
    int width;
};
const ColumnSpec kColumns[] = {
    {L"好友", 130},
    {L"日期", 80},
    {L"时间", 70},
    {L"内容", 300},
};
constexpr int kContentColumn = 3;
constexpr int kMinContentWidth = 100;

// How a control follows the window's size: the text field and the list grow
// with its width, the list with its height too; the button stays at the
// right edge, the count line at the bottom, as wide as the window.
enum Anchor { kFixed, kStretch, kRight, kFill, kBottom };
const struct {
    int id;
    Anchor anchor;
} kControlAnchors[] = {
    {IDC_FIND_ALL_TEXT, kStretch}, {IDC_FIND_ALL_MATCH_CASE, kFixed}, {IDC_FIND_ALL_START, kRight},
    {IDC_FIND_ALL_COUNT, kBottom}, {IDC_FIND_ALL_RESULTS, kFill},
};
static_assert(std::size(kControlAnchors) == CFindAllFriendsWnd::kPlacedControls);

// What the text field accepts, as the Find dialog's field.
constexpr int kMaxNeedleChars = 255;

// The filter box entry 所有信息 of the message list.
constexpr int kAllMessagesEntry = 0;

// The needle as GBK bytes, once. A character GBK cannot hold would only ever
// be found as some stand-in: such a needle, like an empty one, finds nothing.
chatlog::CTextSearch SearchFor(const std::wstring& text, bool matchCase) {
    std::string gbk;
    if (!GbkFromWide(text.c_str(), gbk) || gbk.empty())
        return {};
    return chatlog::CTextSearch(gbk, matchCase);
}

void CopyCell(NMLVDISPINFOW* info, const std::wstring& text) {
    if (info->item.pszText == nullptr || info->item.cchTextMax <= 0)
        return;
    const size_t n = std::min(static_cast<size_t>(info->item.cchTextMax) - 1, text.size());
    std::copy_n(text.data(), n, info->item.pszText);
    info->item.pszText[n] = L'\0';
}

} // namespace

CFindAllFriendsWnd::CFindAllFriendsWnd() : CDialog(IDD_FIND_ALL_FRIENDS) {}

CFindAllFriendsWnd::~CFindAllFriendsWnd() {
    // While the whole object still stands, so that its handlers run.
    DestroyWindow();
}

bool CFindAllFriendsWnd::Create(CPaneHost* host) {
    if (m_hWnd != nullptr)
        return true;
    if (host == nullptr || !::IsWindow(host->HostWindow()))
        return false;
    m_host = host;
    if (!CDialog::Create(host->HostWindow()))
        return false;
    const RECT client = GetClientRect();
    m_templateClient = {client.right, client.bottom};
    for (size_t i = 0; i < kPlacedControls; ++i) {
        ::GetWindowRect(GetDlgItem(kControlAnchors[i].id), &m_templateRects[i]);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&m_templateRects[i]), 2);
    }
    const RECT window = GetWindowRect();
    m_minWidth = (window.right - window.left) * 2 / 3;
    m_minHeight = (window.bottom - window.top) * 2 / 3;
    ::SendMessageW(GetDlgItem(IDC_FIND_ALL_TEXT), EM_LIMITTEXT, kMaxNeedleChars, 0);
    SetUpList();
    return true;
}

void CFindAllFriendsWnd::SetUpList() {
    HWND list = GetDlgItem(IDC_FIND_ALL_RESULTS);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
        LVCOLUMNW column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = kColumns[i].width;
        column.pszText = const_cast<wchar_t*>(kColumns[i].title);
        column.iSubItem = i;
        ::SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    const RECT client = GetClientRect();
    OnSize(SIZE_RESTORED, client.right, client.bottom);
}

void CFindAllFriendsWnd::ShowAndFocus() {
    if (m_hWnd == nullptr)
        return;
    ShowWindow(SW_SHOW);
    ::SetActiveWindow(m_hWnd);
    HWND text = GetDlgItem(IDC_FIND_ALL_TEXT);
    ::SetFocus(text);
    ::SendMessageW(text, EM_SETSEL, 0, -1);
}

void CFindAllFriendsWnd::OnSize(UINT type, int cx, int cy) {
    CWnd::OnSize(type, cx, cy);
    if (type == SIZE_MINIMIZED || m_templateClient.cx == 0)
        return;
    const int dx = cx - m_templateClient.cx;
    const int dy = cy - m_templateClient.cy;
    HDWP moves = ::BeginDeferWindowPos(static_cast<int>(kPlacedControls));
    for (size_t i = 0; i < kPlacedControls; ++i) {
        const Anchor anchor = kControlAnchors[i].anchor;
        RECT r = m_templateRects[i];
        if (anchor == kRight)
            ::OffsetRect(&r, dx, 0);
        if (anchor == kBottom)
            ::OffsetRect(&r, 0, dy);
        if (anchor == kStretch || anchor == kFill || anchor == kBottom)
            r.right = std::max(r.left, r.right + dx);
        if (anchor == kFill)
            r.bottom = std::max(r.top, r.bottom + dy);
        if (moves != nullptr)
            moves =
                ::DeferWindowPos(moves, GetDlgItem(kControlAnchors[i].id), nullptr, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (moves != nullptr)
        ::EndDeferWindowPos(moves);
    // The content column takes what the others leave.
    HWND list = GetDlgItem(IDC_FIND_ALL_RESULTS);
    RECT inside{};
    ::GetClientRect(list, &inside);
    int others = 0;
    for (int i = 0; i < kContentColumn; ++i)
        others += ListView_GetColumnWidth(list, i);
    const int rest = inside.right - others - ::GetSystemMetrics(SM_CXVSCROLL);
    ListView_SetColumnWidth(list, kContentColumn, std::max(rest, kMinContentWidth));
}

LRESULT CFindAllFriendsWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        // Closing only hides: the text, the options and the hits stay for
        // the next opening.
        ShowWindow(SW_HIDE);
        return 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {m_minWidth, m_minHeight};
        return 0;
    }
    default:
        return CDialog::WindowProc(message, wParam, lParam);
    }
}

BOOL CFindAllFriendsWnd::OnCommand(UINT id, UINT code, HWND control) {
    switch (id) {
    case IDOK:
    case IDC_FIND_ALL_START:
        if (code != BN_CLICKED && control != nullptr)
            break;
        // Enter in the result list reaches the dialog as its default button:
        // there it opens the selected hit rather than searching again.
        if (::GetFocus() == GetDlgItem(IDC_FIND_ALL_RESULTS) && SelectedHit() >= 0)
            OpenHit(static_cast<size_t>(SelectedHit()));
        else
            RunSearch();
        return TRUE;
    case IDCANCEL:
        ShowWindow(SW_HIDE);
        return TRUE;
    default:
        break;
    }
    return CDialog::OnCommand(id, code, control);
}

BOOL CFindAllFriendsWnd::OnNotify(int id, NMHDR* header, LRESULT* result) {
    if (id != IDC_FIND_ALL_RESULTS)
        return CWnd::OnNotify(id, header, result);
    switch (header->code) {
    case LVN_GETDISPINFOW:
        FillCell(reinterpret_cast<NMLVDISPINFOW*>(header));
        *result = 0;
        return TRUE;
    case NM_DBLCLK: {
        const int row = reinterpret_cast<NMITEMACTIVATE*>(header)->iItem;
        if (row >= 0)
            OpenHit(static_cast<size_t>(row));
        *result = 0;
        return TRUE;
    }
    case NM_RETURN:
        if (SelectedHit() >= 0)
            OpenHit(static_cast<size_t>(SelectedHit()));
        *result = 0;
        return TRUE;
    default:
        return CWnd::OnNotify(id, header, result);
    }
}

void CFindAllFriendsWnd::RunSearch() {
    if (m_hWnd == nullptr || m_host == nullptr)
        return;
    const bool matchCase = ::IsDlgButtonChecked(m_hWnd, IDC_FIND_ALL_MATCH_CASE) == BST_CHECKED;
    Clear();
    m_search = SearchFor(TextOfField(), matchCase);
    CUserTitleWnd* friends = m_host->GetFriendListPane();
    if (friends != nullptr && !m_search.MatchesNothing()) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        std::vector<unsigned char> piece; // freed when the search ends
        friends->VisitFriendLogs([this, &piece](size_t position, CChatLogFile& log) {
            SearchLog(position, log, piece);
        });
    }
    ::SendMessageW(GetDlgItem(IDC_FIND_ALL_RESULTS), LVM_SETITEMCOUNT, m_results.HitCount(), 0);
    ShowCount();
}

void CFindAllFriendsWnd::SearchLog(size_t position, CChatLogFile& log,
                                   std::vector<unsigned char>& piece) {
    // Every log is read through its open handle, the selected friend's too:
    // mapping and unmapping thousands of logs costs seconds where reading
    // them costs a fraction. A piece at a time, so that a log of any size
    // costs one piece of memory. Hits are kept as file offsets.
    m_results.BeginFriend(position, log.FriendKey(), log.FriendName());
    auto read = [&log](std::uint32_t offset, unsigned char* buffer, std::uint32_t count,
                       size_t& got) { return log.ReadAt(offset, buffer, count, got); };
    auto search = [this](const unsigned char* view, std::uint32_t viewSize, std::uint64_t base) {
        chatlog::FindInLog(m_search, view, viewSize, [&](chatlog::ChatLogRecordPos record) {
            m_results.AddHit(m_search, record, chatlog::RecordLengthWithin(record, view + viewSize),
                             base + static_cast<std::uint64_t>(record - view));
        });
    };
    bool whole = false;
    try {
        std::uint32_t size = 0;
        whole = log.ReadableSize(size) && viewer::VisitLogPieces(size, piece, read, search);
    } catch (const std::bad_alloc&) {
        // No room for the piece or for a hit: this log is left, the next
        // one tried; the window says how many were.
    }
    if (!whole)
        m_results.AddSkippedLog();
}

void CFindAllFriendsWnd::Clear() {
    m_results.Clear();
    m_search = chatlog::CTextSearch();
    if (m_hWnd == nullptr)
        return;
    // Count 0 drops the selection with the rows, without visiting any.
    ::SendMessageW(GetDlgItem(IDC_FIND_ALL_RESULTS), LVM_SETITEMCOUNT, 0, 0);
    ::SetDlgItemTextW(m_hWnd, IDC_FIND_ALL_COUNT, L"");
}

std::wstring CFindAllFriendsWnd::TextOfField() const {
    HWND field = GetDlgItem(IDC_FIND_ALL_TEXT);
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(field)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(::GetWindowTextW(field, text.data(), static_cast<int>(text.size()))));
    return text;
}

void CFindAllFriendsWnd::ShowCount() {
    const std::wstring text = viewer::FindAllCountText(m_results.TotalCount(), m_results.HitCount(),
                                                       m_results.SkippedLogs());
    ::SetDlgItemTextW(m_hWnd, IDC_FIND_ALL_COUNT, text.c_str());
}

int CFindAllFriendsWnd::SelectedHit() const {
    HWND list = GetDlgItem(IDC_FIND_ALL_RESULTS);
    return ListView_GetSelectedCount(list) == 0 ? -1
                                                : ListView_GetNextItem(list, -1, LVNI_SELECTED);
}

void CFindAllFriendsWnd::FillCell(NMLVDISPINFOW* info) {
    if ((info->item.mask & LVIF_TEXT) == 0)
        return;
    const int row = info->item.iItem;
    if (row < 0 || static_cast<size_t>(row) >= m_results.HitCount()) {
        CopyCell(info, std::wstring());
        return;
    }
    const FoundHit& hit = m_results.Hit(static_cast<size_t>(row));
    char cell[kTimeCellSize];
    switch (info->item.iSubItem) {
    case 0: {
        // As the friend list labels the friend: nickname(key).
        const FoundFriend& who = m_results.FriendOf(hit);
        CopyCell(info, WideFromGbk(who.name.data(), who.name.size()) + L"(" +
                           WideFromGbk(who.key.data(), who.key.size()) + L")");
        break;
    }
    case 1:
        viewer::FormatRecordDate(hit.time, cell);
        CopyCell(info, WideFromGbk(cell, sizeof cell));
        break;
    case 2:
        viewer::FormatRecordTime(hit.time, cell);
        CopyCell(info, WideFromGbk(cell, sizeof cell));
        break;
    case kContentColumn: {
        const std::string_view line = m_results.Snippet(hit);
        CopyCell(info, WideFromGbk(line.data(), line.size()));
        break;
    }
    default:
        CopyCell(info, std::wstring());
        break;
    }
}

bool CFindAllFriendsWnd::OpenHit(size_t index) {
    if (m_host == nullptr || index >= m_results.HitCount())
        return false;
    const FoundHit& hit = m_results.Hit(index);
    const FoundFriend& who = m_results.FriendOf(hit);
    CUserTitleWnd* friends = m_host->GetFriendListPane();
    CChatContentTitle* messages = m_host->GetMessageListPane();
    if (friends == nullptr || messages == nullptr)
        return false;
    // Through the tree, as a click: the frame gets kViewerMsgFriendSelected
    // and the message list lists the friend.
    CChatLogFile* log = friends->SelectFriendAt(who.treePosition, who.key);
    if (log == nullptr || messages->GetCurrentLog() != log || !log->IsMapped())
        return false;
    // The log may have changed since the search: the offset counts only
    // where a record of the log as mapped now starts.
    chatlog::ChatLogRecordPos record = nullptr;
    std::uint32_t direction = 0;
    const unsigned char* logStart = nullptr;
    log->VisitDirectedRecords([&](chatlog::ChatLogRecordPos position, std::uint32_t dir) {
        if (logStart == nullptr)
            logStart = position - chatlog::kChatLogHeaderSize;
        // Unsigned: a view may lie across the middle of a 32-bit address space.
        if (reinterpret_cast<std::uintptr_t>(position) -
                reinterpret_cast<std::uintptr_t>(logStart) ==
            hit.offset) {
            record = position;
            direction = dir;
        }
    });
    if (record == nullptr)
        return false;
    if (!viewer::FilterKeeps(messages->GetMessageFilter(), direction)) {
        // The filter hides the row: 所有信息, chosen in the box as by the user.
        HWND filter = messages->GetDlgItem(IDC_MESSAGE_FILTER);
        ::SendMessageW(filter, CB_SETCURSEL, kAllMessagesEntry, 0);
        ::SendMessageW(messages->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_MESSAGE_FILTER, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(filter));
    }
    const long row = viewer::RowOfRecord(
        messages->Rows().RowCount(), messages->GetSortOrder() == kOrderAscending,
        [messages](size_t at) { return messages->RecordAtRow(static_cast<int>(at)); }, record);
    if (row < 0)
        return false;
    // Selecting the row makes the table hand its text to the content pane.
    messages->SelectRow(static_cast<int>(row));
    SelectMatchInContent(record);
    return true;
}

void CFindAllFriendsWnd::SelectMatchInContent(chatlog::ChatLogRecordPos record) {
    CContentOutput* content = m_host->GetContentPane();
    CChatContentTitle* messages = m_host->GetMessageListPane();
    if (content == nullptr || messages == nullptr)
        return;
    viewer::SelectMatchInContent(*content, m_search, record, messages->RecordLength(record));
    // The selection shows where the keyboard is: there, in the main window.
    ::SetFocus(content->TextWindow());
}
