#include "MessageFind.h"

#include <ctime>

namespace viewer {

static_assert(kNoRow == chatlog::kNoRecord, "no row and no record are one value");

namespace {

// The first second of a local day, by the runtime that also turns record
// times into the table's local dates, so a day means the same to both. Day
// 32 and the like carry into the next month; `exact` refuses them.
bool LocalMidnight(int year, int month, int day, bool exact, int64_t& seconds) {
    struct tm local = {};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_isdst = -1; // whatever the rules say for that day
    const std::time_t t = std::mktime(&local);
    if (t == static_cast<std::time_t>(-1) ||
        (exact && (local.tm_mday != day || local.tm_mon != month - 1))) {
        return false;
    }
    seconds = static_cast<int64_t>(t);
    return true;
}

} // namespace

chatlog::RecordRun ListedRun(const CMessageIndex& rows, const unsigned char* viewEnd) {
    chatlog::RecordRun run;
    const std::size_t count = rows.RowCount();
    if (count == 0 || rows.First() == nullptr || viewEnd == nullptr) {
        return run;
    }
    run.first = rows.First();
    run.offsets = rows.Offsets();
    run.count = count;
    run.viewEnd = viewEnd;
    return run;
}

std::size_t FindShownRow(const chatlog::CTextSearch& search, const CMessageIndex& rows,
                         const unsigned char* viewEnd, std::size_t selected, bool down) {
    const chatlog::RecordRun run = ListedRun(rows, viewEnd);
    return FindShownRow(selected, run.count, rows.Order(), down,
                        [&](std::size_t from, bool forward) {
                            return chatlog::FindNextRecord(search, run, from, forward);
                        });
}

bool LocalDayBounds(int year, int month, int day, int64_t& start, int64_t& end) {
    return month >= 1 && month <= 12 && LocalMidnight(year, month, day, true, start) &&
           LocalMidnight(year, month, day + 1, false, end) && end > start;
}

std::wstring ComposeMessageCopy(const std::wstring& sender, const std::wstring& date,
                                const std::wstring& time, const std::wstring& text) {
    std::wstring copy = sender + L' ' + date + L' ' + time + L"\r\n";
    copy.reserve(copy.size() + text.size() + text.size() / 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\r' || c == L'\n') {
            copy += L"\r\n";
            if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
                ++i;
            }
        } else {
            copy += c;
        }
    }
    return copy;
}

} // namespace viewer
