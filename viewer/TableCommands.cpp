#include "TableCommands.h"

#include "ChatContentTitle.h"
#include "GotoDateDialog.h"
#include "LocalTime.h"
#include "MessageFind.h"
#include "TextConvert.h"

#include <cstring>
#include <string>

namespace viewer {

namespace {

std::wstring DateCell(int32_t time) {
    char cell[kTimeCellSize];
    FormatRecordDate(time, cell);
    return WideFromGbk(cell, sizeof cell);
}

std::wstring TimeCell(int32_t time) {
    char cell[kTimeCellSize];
    FormatRecordTime(time, cell);
    return WideFromGbk(cell, sizeof cell);
}

bool PutUnicodeText(HWND owner, const std::wstring& text) {
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory == nullptr) {
        return false;
    }
    if (void* data = ::GlobalLock(memory)) {
        std::memcpy(data, text.c_str(), bytes);
        ::GlobalUnlock(memory);
    }
    if (!::OpenClipboard(owner)) {
        ::GlobalFree(memory);
        return false;
    }
    ::EmptyClipboard();
    // Once set, the clipboard owns the memory.
    const bool set = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    ::CloseClipboard();
    if (!set) {
        ::GlobalFree(memory);
    }
    return set;
}

// The local date of a record time as the picker shows it; today when the
// time has no local form.
SYSTEMTIME PickerDate(const unsigned char* record) {
    SYSTEMTIME date = {};
    struct tm local = {};
    if (record != nullptr && chatlog::LocalTime(chatlog::RecordTime(record), &local)) {
        date.wYear = static_cast<WORD>(local.tm_year + 1900);
        date.wMonth = static_cast<WORD>(local.tm_mon + 1);
        date.wDay = static_cast<WORD>(local.tm_mday);
    } else {
        ::GetLocalTime(&date);
        date.wHour = date.wMinute = date.wSecond = date.wMilliseconds = 0;
    }
    return date;
}

} // namespace

bool CopySelectedMessage(const CChatContentTitle& messages, HWND owner) {
    const unsigned char* record = messages.RecordAtRow(messages.SelectedRow());
    const CChatLogFile* log = messages.GetCurrentLog();
    if (record == nullptr || log == nullptr) {
        return false;
    }
    const std::string_view sender = log->SenderName(record);
    const std::string_view text = chatlog::RecordContent(record, messages.RecordLength(record));
    const int32_t time = chatlog::RecordTime(record);
    return PutUnicodeText(owner, ComposeMessageCopy(WideFromGbk(sender.data(), sender.size()),
                                                    DateCell(time), TimeCell(time),
                                                    WideFromGbk(text.data(), text.size())));
}

void GoToDate(CChatContentTitle& messages, HWND owner) {
    CGotoDateDialog dialog(PickerDate(messages.RecordAtRow(messages.SelectedRow())));
    if (!dialog.Run(owner)) {
        return;
    }
    // The rows are asked for only now: the dialog may have run for a while.
    const CMessageIndex& rows = messages.Rows();
    int64_t dayStart = 0, dayEnd = 0;
    const SYSTEMTIME& date = dialog.Date();
    if (messages.RecordAtRow(0) == nullptr ||
        !LocalDayBounds(date.wYear, date.wMonth, date.wDay, dayStart, dayEnd)) {
        return;
    }
    const size_t row = RowForDay(rows.RowCount(), dayStart, dayEnd, [&rows](size_t r) {
        return static_cast<int64_t>(chatlog::RecordTime(rows.RecordAt(r)));
    });
    if (row != kNoRow) {
        messages.SelectRow(static_cast<int>(row));
    }
}

} // namespace viewer
