// Decisions of the 编辑 menu over the message list that need no window: how
// a shown row maps to the listed records (file order) and back, which row a
// find lands on in the order and filter shown, which row a date picks, and
// the text a copied message becomes.
#pragma once

#include "ChatLogSearch.h"
#include "MessageIndex.h"
#include "MessageListRules.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace viewer {

// No row: nothing selected, or nothing found.
constexpr std::size_t kNoRow = static_cast<std::size_t>(-1);

// The listed index (file order among the rows the filter keeps) of a shown
// row, and the shown row of a listed index: one reflection for the
// descending order, the same both ways.
inline std::size_t ListedIndexOfRow(std::size_t row, std::size_t count, int32_t order) {
    return order == kOrderAscending ? row : count - 1 - row;
}

// The row a find lands on: the next shown row after `selected` (before it
// when !down), from the first (last) shown row when selected is kNoRow or
// past the end. findListed(from, forward) answers over listed indexes with
// the search core's contract: the first match after `from` (before it when
// !forward), from == kNoRow starting at the first (last) one, kNoRow for
// none. Going down a descending table is going back in the file.
template <class FindListed>
std::size_t FindShownRow(std::size_t selected, std::size_t count, int32_t order, bool down,
                         FindListed&& findListed) {
    if (count == 0) {
        return kNoRow;
    }
    const bool ascending = order == kOrderAscending;
    const std::size_t from = selected < count ? ListedIndexOfRow(selected, count, order) : kNoRow;
    const std::size_t found = findListed(from, ascending ? down : !down);
    return found < count ? ListedIndexOfRow(found, count, order) : kNoRow;
}

// The table's top row that shows `row` in the middle of `perPage` visible
// rows (the upper of two middles), as far as a table of `count` rows can
// scroll: never above its first row, nor below a full last page.
inline std::size_t CenteredTopRow(std::size_t row, std::size_t perPage, std::size_t count) {
    const std::size_t lowest = count > perPage ? count - perPage : 0;
    const std::size_t above = perPage > 0 ? (perPage - 1) / 2 : 0;
    return std::min(row > above ? row - above : 0, lowest);
}

// The listed records as the search core takes them, in the mapped view that
// ends at viewEnd: every read stays before it, whatever a record's length
// says by the time it is read again.
chatlog::RecordRun ListedRun(const CMessageIndex& rows, const unsigned char* viewEnd);

// FindShownRow over the listed records of a mapped log with the search
// core: the row after (before) `selected` in the order shown whose text
// holds the needle.
std::size_t FindShownRow(const chatlog::CTextSearch& search, const CMessageIndex& rows,
                         const unsigned char* viewEnd, std::size_t selected, bool down);

// The row 转到日期 selects for the local day [dayStart, dayEnd) (Unix
// seconds): the first row in shown order whose time lies in it; when none
// does, the row whose time is nearest to the day, the first in shown order
// among equally near ones. timeOf(row) gives a row's record time. kNoRow
// only for an empty table.
template <class TimeOfRow>
std::size_t RowForDay(std::size_t count, int64_t dayStart, int64_t dayEnd, TimeOfRow&& timeOf) {
    std::size_t nearest = kNoRow;
    int64_t nearestDistance = 0;
    for (std::size_t row = 0; row < count; ++row) {
        const int64_t time = timeOf(row);
        if (time >= dayStart && time < dayEnd) {
            return row;
        }
        const int64_t distance = time < dayStart ? dayStart - time : time - (dayEnd - 1);
        if (nearest == kNoRow || distance < nearestDistance) {
            nearest = row;
            nearestDistance = distance;
        }
    }
    return nearest;
}

// The local day of year, month (1-12) and day (1-31) as Unix seconds from
// its first second to the next day's first (23 or 25 hours on a day the
// clocks change). False for a date that does not exist or cannot be
// converted.
bool LocalDayBounds(int year, int month, int day, int64_t& start, int64_t& end);

// A message as 复制 puts it on the clipboard: "sender date time" as the
// table shows them, a line end, then the whole text, every line end (LF,
// CR LF or a lone CR) written CR LF.
std::wstring ComposeMessageCopy(const std::wstring& sender, const std::wstring& date,
                                const std::wstring& time, const std::wstring& text);

} // namespace viewer
