// Decisions of the message list that need no window: which records a filter
// keeps, how the filter box maps to a filter, how cells read, where the
// controls of the strip under the table go.
#pragma once

#include "LocalTime.h"

#include <cstddef>
#include <cstdint>

// m_sortOrder values.
constexpr int32_t kOrderAscending = 1;
constexpr int32_t kOrderDescending = 2;

// m_messageFilter bits.
constexpr int32_t kFilterSent = 1;
constexpr int32_t kFilterReceived = 2;
constexpr int32_t kFilterAll = kFilterSent | kFilterReceived;

// The converter that turns Unix seconds into broken-down local time; false
// when the time cannot be converted.
using LocalTimeFn = bool (*)(int64_t seconds, struct tm* out);

// Room for a date or time cell text, its NUL included.
constexpr size_t kTimeCellSize = 32;

// Where the table and the strip's controls go for a pane of W x H client
// pixels (see ComputeMessageListLayout).
struct MessageListLayout {
    int tableWidth;
    int tableHeight;
    int ascX, ascY;
    int descX, descY;
    int comboX, comboY;
    bool fitContent; // column 3 gets contentWidth; otherwise it keeps its width
    int contentWidth;
};

constexpr int kStripHeight = 22;

namespace viewer {

// Direction 0 is the owner's own message; every other value was received.
inline bool IsSentDirection(uint32_t direction) {
    return direction == 0;
}

// True when a record with this direction is listed under the filter.
bool FilterKeeps(int32_t filter, uint32_t direction);

// Combo entry index (0 all, 1 sent, 2 received) to filter; false for any
// other index, which leaves the filter as it is.
bool FilterFromComboIndex(int index, int32_t* filter);

// Cell texts for a record time: "%Y-%m-%d" and "%H:%M:%S" in local time, or
// the empty text when the time cannot be converted. out must hold at least
// kTimeCellSize bytes; the result is always NUL-terminated.
void FormatRecordDate(int32_t time, char* out, LocalTimeFn toLocal = chatlog::LocalTime);
void FormatRecordTime(int32_t time, char* out, LocalTimeFn toLocal = chatlog::LocalTime);

// The layout for a pane of W x H client pixels. ascWidth and descWidth are
// the client widths of the two radio buttons; fixedColumns is the sum of the
// current widths of columns 0 to 2.
MessageListLayout ComputeMessageListLayout(int width, int height, int ascWidth, int descWidth,
                                           int fixedColumns);

} // namespace viewer
